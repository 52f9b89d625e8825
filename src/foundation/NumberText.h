#pragma once
// Numbers in text, read and written the same way on every machine.
//
// Reading follows the lenient rules stored files and settings were written with:
// a leading number is taken and the rest ignored; text without one reads as 0.
// Writing always uses the C locale (a '.' decimal point, no group separators), so a
// German or French user's locale never leaks a decimal comma into files, XML or scripts.

#include <QString>
#include <QStringView>

namespace NumberText {

// Skips leading white space, takes an optional sign and the leading digits.
// Saturates at INT_MAX / INT_MIN; 0 when there are no digits.
int intValue(QStringView text);
qint64 longLongValue(QStringView text);

// The leading decimal number (optional sign, digits, '.', digits, exponent);
// 0 when there is none.
double doubleValue(QStringView text);
float floatValue(QStringView text);

// After white space, an optional sign and leading zeros, a first character of
// 'Y', 'y', 'T', 't' or a digit 1-9 means true.
bool boolValue(QStringView text);

// value with a fixed number of decimals ("%0.2f" for decimals = 2), C locale.
QString fixed(double value, int decimals);

// The shortest text that reads back as the same double ("0.1", "2", "1e+20").
QString shortest(double value);

// printf-style formatting that always uses the C locale for numbers.
QString format(const char *fmt, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

} // namespace NumberText
