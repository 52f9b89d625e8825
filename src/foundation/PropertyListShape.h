#pragma once
// Checks the shape of a property list before libplist reads it. libplist reads
// nested containers by recursion, and copies an object of the binary form once for
// every reference to it: a list of a few hundred bytes can nest deeper than any stack
// or stand for gigabytes. A list passes when it is no larger than
// InputLimits::kMaxPropertyListBytes, nests no deeper than InputLimits::kMaxNesting,
// and, every reference counted as often as it is used, holds no more than
// InputLimits::kMaxPropertyListObjects values and kMaxExpandedBytes of text and data.
//
// The binary form is walked through its offset table and references (a reference
// circle is refused too); the XML form is scanned for its elements, and text that is
// no well-formed XML is refused here rather than left to libplist's lenient parser.

#include <QByteArray>
#include <QString>

namespace PropertyListShape {

constexpr qint64 kMaxExpandedBytes = qint64(256) << 20;

// True when data may be handed to libplist; false with the reason otherwise.
bool check(const QByteArray &data, QString *error = nullptr);

} // namespace PropertyListShape
