#pragma once
// What a desktop application or executable book gets where its settings leave a value
// empty (the application settings start from the same values).

#include <QString>

// Bundle identifier given to generated desktop application books unless the user sets one.
inline const QString defaultIdentifierName = QStringLiteral("com.zendarrow.quorvel.book");

namespace AppBookDefaults {
inline const QString version = QStringLiteral("1.0");
inline const QString exeWindowSize = QStringLiteral("MAX");
// Closing the window quits the book (2 would only hide it).
constexpr int windowHide = 1;
} // namespace AppBookDefaults
