#pragma once
// The phone version's look chosen for one book in its output record (a batch row's
// mobile settings): the background colour, the way pages turn ("Flip" or "Slide") and
// whether two pages slide together. They are settings of the phone template
// ("backgroundColor", "flipStyle", "doublePageSlide"), set on the job's own copy.

#include <memory>

class ConvertParament;
class FlashTemplate;

namespace MobileChoices {

// Whether the record chooses anything for the phone version's look.
bool hasChoices(const ConvertParament &record);

// tmpl with the record's choices set; tmpl itself when the record chooses nothing. A
// null tmpl stands for the bundled phone template with its defaults. A value the
// template does not take (a colour that is none, a page turn it does not know) is left
// out. Null when the bundled template cannot be read.
std::shared_ptr<const FlashTemplate> applied(std::shared_ptr<const FlashTemplate> tmpl, const ConvertParament &record);

} // namespace MobileChoices
