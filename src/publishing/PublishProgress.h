#pragma once
// What the publish dialog shows for one progress notification of the output engine
// ("index" of "count" within the step "type").

#include <QString>
#include <optional>

namespace PublishProgress {

// The bar's value, maximum * index / count kept within 0 .. maximum; none when count
// is not positive (the bar then stays where it is).
std::optional<int> barValue(int maximum, qint64 index, qint64 count);
// The label for a step: its progress text for 0 to 15; for 16 "Compressing the
// book..." when the book is packed; none (the label stays) otherwise.
std::optional<QString> label(int type, bool compressToZip);

} // namespace PublishProgress
