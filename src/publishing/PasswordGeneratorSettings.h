#pragma once
// The remembered settings of a dialog's password generator: an XML property list
// holding one dictionary with "type" (the class bits, 15 by default), "length" (10)
// and "excludeSymbols" (the symbols left out, empty). The book security dialog keeps
// its generator's in "sp.pgSettings", the user list editor its own in ".pgSettings",
// both directly in the user's extra-data folder.

#include "publishing/PasswordGenerator.h"

#include <QString>
#include <memory>

class PasswordGeneratorSettings
{
public:
    static constexpr quint64 kDefaultType = PasswordGenerator::AllClasses;
    static constexpr quint64 kDefaultLength = 10;

    static QString securityDialogFile(); // "sp.pgSettings"
    static QString usersListFile();      // ".pgSettings"

    // A new generator with the file's settings. A missing file is first written with
    // the defaults. A key that is missing or unusable (a type naming no class, a
    // length below 1, a file that is no dictionary) reads its default, so a damaged
    // file never makes one-character passwords.
    static std::unique_ptr<PasswordGenerator> load(const QString &path);
    // Writes the generator's type, length and excluded symbols, atomically.
    static bool save(const PasswordGenerator &generator, const QString &path);
};
