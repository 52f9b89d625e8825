#pragma once
// Makes random passwords for book protection: the single password of the book
// security dialog and the passwords of new users in the user list editor.
//
// Characters come from up to four classes (type bits: 1 upper-case letters, 2
// lower-case letters, 4 digits, 8 symbols), each weighted by its percentage; symbols
// listed in disableChars are left out. A table of 256 characters is filled with the
// chosen classes in proportion to their weights, shuffled, and every character of
// the password is the table's character at a random index. Every random byte comes
// from the operating system.
//
// A generator belongs to one dialog and is used on the main thread.

#include <QString>

class PasswordGenerator
{
public:
    enum ClassBit : quint64 { UpperCase = 1, LowerCase = 2, Digits = 4, Symbols = 8, AllClasses = 15 };
    static constexpr quint64 kMaximumLength = 1024;
    static constexpr int kTableSize = 256;

    // Every class, length 8, all weights 100, nothing excluded, no result yet.
    PasswordGenerator() = default;

    quint64 type() const { return m_type; }
    void setType(quint64 type) { m_type = type; }
    quint64 length() const { return m_length; }
    void setLength(quint64 length) { m_length = length; }
    double upperCasePercent() const { return m_upperCasePercent; }
    void setUpperCasePercent(double percent) { m_upperCasePercent = percent; }
    double lowerCasePercent() const { return m_lowerCasePercent; }
    void setLowerCasePercent(double percent) { m_lowerCasePercent = percent; }
    double digitsPercent() const { return m_digitsPercent; }
    void setDigitsPercent(double percent) { m_digitsPercent = percent; }
    double symbolsPercent() const { return m_symbolsPercent; }
    void setSymbolsPercent(double percent) { m_symbolsPercent = percent; }
    QString disableChars() const { return m_disableChars; }
    void setDisableChars(const QString &chars) { m_disableChars = chars; }
    QString resultStr() const { return m_resultStr; }
    void setResultStr(const QString &result) { m_resultStr = result; }
    QString result() const { return m_resultStr; }

    // Makes a password from the settings into resultStr. First type 0 becomes 15 and
    // the length is brought into 1 to 1024 (the settings keep the new values). The
    // result is empty when no character can be drawn (only symbols, all excluded; or
    // a type naming no class) or when the system gives no random bytes.
    void startGenerate();

    // A password of type and length with the other settings at their defaults.
    static QString generatePasswordWithType(quint64 type, quint64 length);

    static QString upperCaseLetters();
    static QString lowerCaseLetters();
    static QString digits();
    // The 32 printable ASCII punctuation characters, in code order.
    static QString symbols();

    // The table the password is drawn from, before the shuffle: at most 256
    // characters of the chosen classes in proportion to their weights (fewer when the
    // weights leave it short, none when no class can give a character). The classes
    // start at the given offsets into their character lists.
    struct Offsets
    {
        quint32 upper, lower, digit, symbol;
    };
    QString characterTable(const Offsets &offsets) const;
    QString characterTable() const { return characterTable({0, 0, 0, 0}); }

private:
    QString symbolPool() const;

    quint64 m_type = AllClasses;
    quint64 m_length = 8;
    double m_upperCasePercent = 100.0;
    double m_lowerCasePercent = 100.0;
    double m_digitsPercent = 100.0;
    double m_symbolsPercent = 100.0;
    QString m_disableChars;
    QString m_resultStr;
};
