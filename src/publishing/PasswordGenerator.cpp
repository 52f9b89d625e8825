#include "publishing/PasswordGenerator.h"

#include "foundation/Crypto.h"

#include <array>

namespace {

struct CharacterClass
{
    quint64 bit;
    double percent;
    QString characters;
    quint32 offset;
};

} // namespace

QString PasswordGenerator::upperCaseLetters()
{
    return QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
}

QString PasswordGenerator::lowerCaseLetters()
{
    return QStringLiteral("abcdefghijklmnopqrstuvwxyz");
}

QString PasswordGenerator::digits()
{
    return QStringLiteral("0123456789");
}

QString PasswordGenerator::symbols()
{
    QString out;
    for (char c = 0x21; c <= 0x7E; ++c) {
        const bool letterOrDigit = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!letterOrDigit)
            out += QLatin1Char(c);
    }
    return out;
}

QString PasswordGenerator::symbolPool() const
{
    QString pool;
    for (QChar c : symbols()) {
        if (!m_disableChars.contains(c))
            pool += c;
    }
    return pool;
}

QString PasswordGenerator::characterTable(const Offsets &offsets) const
{
    const QString pool = symbolPool();
    std::array<CharacterClass, 4> classes{{
        {UpperCase, m_upperCasePercent, upperCaseLetters(), offsets.upper},
        {LowerCase, m_lowerCasePercent, lowerCaseLetters(), offsets.lower},
        {Digits, m_digitsPercent, digits(), offsets.digit},
        {Symbols, m_symbolsPercent, pool, offsets.symbol},
    }};

    // The weight of every chosen class counts, even that of symbols that are all
    // excluded: the other classes then fill the table through the correction below.
    double weights = 0;
    for (const CharacterClass &c : classes) {
        if (m_type & c.bit)
            weights += c.percent;
    }
    std::array<double, 4> quotas{};
    if (weights > 0) {
        for (size_t i = 0; i < classes.size(); ++i) {
            const CharacterClass &c = classes[i];
            double x = 0;
            if ((m_type & c.bit) && !c.characters.isEmpty() && c.percent > 0)
                x = kTableSize * c.percent / weights;
            quotas[i] = x < 0.5 ? x : x + 1;
        }
    }
    const auto total = qint64(quotas[0] + quotas[1] + quotas[2] + quotas[3]);
    if (total <= kTableSize - 1) {
        for (double &q : quotas) {
            if (q != 0) {
                q += double(kTableSize + 1 - total);
                break;
            }
        }
    }

    QString table;
    table.reserve(kTableSize);
    std::array<quint32, 4> counters{offsets.upper, offsets.lower, offsets.digit, offsets.symbol};
    // A pass adds one character of every class whose quota is not used up; a pass
    // that adds nothing ends the fill, whatever the quotas sum to.
    for (qint64 pass = 0; table.size() < kTableSize; ++pass) {
        const qsizetype before = table.size();
        for (size_t i = 0; i < classes.size() && table.size() < kTableSize; ++i) {
            const CharacterClass &c = classes[i];
            if (!(m_type & c.bit) || c.characters.isEmpty() || pass >= qint64(quotas[i]))
                continue;
            table += c.characters.at(qsizetype(counters[i] % quint32(c.characters.size())));
            ++counters[i];
        }
        if (table.size() == before)
            break;
    }
    return table;
}

void PasswordGenerator::startGenerate()
{
    if (m_type == 0)
        m_type = AllClasses;
    if (m_length == 0)
        m_length = 1;
    if (m_length > kMaximumLength)
        m_length = kMaximumLength;
    m_resultStr.clear();
    if (m_type == Symbols && symbolPool().isEmpty())
        return;

    // Four class offsets, eight shuffle key bytes, one index byte per character.
    const int length = int(m_length);
    const QByteArray random = Crypto::randomBytes(4 + 8 + length);
    if (random.size() != 4 + 8 + length)
        return;
    const auto byte = [&random](int i) { return quint8(random.at(i)); };
    QString table = characterTable({byte(0), byte(1), byte(2), byte(3)});
    const qsizetype size = table.size();
    if (size == 0)
        return;

    for (qsizetype i = 0; i < size; ++i) {
        const qsizetype j = (byte(4 + int(i % 7)) + i) % size;
        std::swap(table[i], table[j]);
    }
    QString password;
    password.reserve(length);
    for (int k = 0; k < length; ++k)
        password += table.at(byte(12 + k) % size);
    m_resultStr = password;
}

QString PasswordGenerator::generatePasswordWithType(quint64 type, quint64 length)
{
    PasswordGenerator generator;
    generator.setType(type);
    generator.setLength(length);
    generator.startGenerate();
    return generator.result();
}
