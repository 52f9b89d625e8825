#include "TestSupport.h"
#include "foundation/AppUtility.h"
#include "foundation/Crypto.h"
#include "foundation/DataEncoding.h"
#include "foundation/InputLimits.h"
#include "foundation/PropertyList.h"
#include "foundation/PropertyListShape.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QtTest>
#include <plist/plist.h>
#include <zlib.h>

class EncodingTest : public QObject
{
    Q_OBJECT
private slots:
    void gzipRoundTripAndDamage()
    {
        QByteArray data;
        for (int i = 0; i < 100000; ++i)
            data.append(char(i * 7 % 251));
        const QByteArray packed = gzipDeflate(data);
        QVERIFY(packed.startsWith("\x1f\x8b"));
        QCOMPARE(gzipInflate(packed).value_or(QByteArray()), data);
        QCOMPARE(gzipInflate(gzipDeflate({})).value_or("x"), QByteArray());

        // Concatenated members read as one; the zlib form is accepted too.
        QCOMPARE(gzipInflate(gzipDeflate("ab") + gzipDeflate("cd")).value_or(""), QByteArray("abcd"));
        QCOMPARE(gzipInflate(qCompress("zlib data").mid(4)).value_or(""), QByteArray("zlib data"));

        QVERIFY(!gzipInflate("plain text, not compressed"));
        QVERIFY(!gzipInflate(packed.left(packed.size() / 2))); // cut short
        QByteArray corrupt = packed;
        corrupt[corrupt.size() - 5] = char(corrupt[corrupt.size() - 5] ^ 0x55); // bad checksum
        QVERIFY(!gzipInflate(corrupt));

        // A cap on the inflated size stops a small file that unpacks to a lot.
        const QByteArray bomb = gzipDeflate(QByteArray(64 * 1024 * 1024, 0));
        QVERIFY(bomb.size() < 100 * 1024);
        QVERIFY(!gzipInflate(bomb, 1024 * 1024));
        QCOMPARE(gzipInflate(packed, data.size()).value_or(QByteArray()), data);
        QVERIFY(!gzipInflate(packed, data.size() - 1));
    }

    void digestsAndBase64()
    {
        QCOMPARE(AppUtility::MD5StringOfData({}), QString("d41d8cd98f00b204e9800998ecf8427e"));
        QCOMPARE(AppUtility::MD5StringOfString("abc"), QString("900150983cd24fb0d6963f7d28e17f72"));
        QCOMPARE(Crypto::sha256("abc").toHex(),
                 QByteArray("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
        // RFC 7914, section 11.
        QCOMPARE(Crypto::pbkdf2HmacSha256("passwd", "salt", 1, 64).toHex(),
                 QByteArray("55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"
                            "49ca9cccf179b645991664b39d77ef317c71b845b1e30bd509112041d3a19783"));
        QVERIFY(Crypto::pbkdf2HmacSha256("p", "s", 0, 32).isEmpty());

        QCOMPARE(base64Decode("aGVs\nbG8=").value_or(""), QByteArray("hello"));
        QVERIFY(!base64Decode("aGVs*bG8="));

        const QByteArray a = Crypto::randomBytes(32), b = Crypto::randomBytes(32);
        QCOMPARE(a.size(), 32);
        QVERIFY(a != b);
    }

    void aesGcmDetectsTampering()
    {
        const QByteArray key = Crypto::randomBytes(Crypto::kAesKeyLength);
        const QByteArray nonce = Crypto::randomBytes(Crypto::kGcmNonceLength);
        const QByteArray plain = "The book's user list\n" + QByteArray(1000, 'u');
        const auto sealed = Crypto::aes256GcmEncrypt(key, nonce, plain, "header");
        QVERIFY(sealed);
        QCOMPARE(sealed->ciphertext.size(), plain.size());
        QVERIFY(sealed->ciphertext != plain);
        QCOMPARE(Crypto::aes256GcmDecrypt(key, nonce, sealed->ciphertext, sealed->tag, "header").value_or(""), plain);

        QByteArray flipped = sealed->ciphertext;
        flipped[10] = char(flipped[10] ^ 1);
        QVERIFY(!Crypto::aes256GcmDecrypt(key, nonce, flipped, sealed->tag, "header"));
        QByteArray badTag = sealed->tag;
        badTag[0] = char(badTag[0] ^ 1);
        QVERIFY(!Crypto::aes256GcmDecrypt(key, nonce, sealed->ciphertext, badTag, "header"));
        QVERIFY(!Crypto::aes256GcmDecrypt(key, nonce, sealed->ciphertext, sealed->tag, "other"));
        QVERIFY(!Crypto::aes256GcmDecrypt(key, Crypto::randomBytes(12), sealed->ciphertext, sealed->tag, "header"));
        QVERIFY(!Crypto::aes256GcmDecrypt(key, nonce, sealed->ciphertext.chopped(1), sealed->tag, "header"));
        QVERIFY(!Crypto::aes256GcmDecrypt(key, nonce, sealed->ciphertext, sealed->tag.left(8), "header"));
        QVERIFY(!Crypto::aes256GcmEncrypt(key.left(16), nonce, plain));

        const auto empty = Crypto::aes256GcmEncrypt(key, nonce, {});
        QVERIFY(empty && empty->ciphertext.isEmpty());
        QCOMPARE(Crypto::aes256GcmDecrypt(key, nonce, {}, empty->tag).value_or("x"), QByteArray());
    }
};

class PropertyListTest : public QObject
{
    Q_OBJECT
private slots:
    void nestedValuesRoundTrip()
    {
        const QDateTime when = QDateTime::fromString("2023-04-05T06:07:08Z", Qt::ISODate);
        const QVariantMap value{
            {"name", QString::fromUtf8("Bücher & <Co>")},
            {"count", 42},
            {"negative", -7},
            {"big", qlonglong(1) << 40},
            {"ratio", 0.1},
            {"on", true},
            {"off", false},
            {"blob", QByteArray("\x00\x01\xff", 3)},
            {"when", when},
            {"empty", QVariantMap()},
            {"list", QVariantList{1, "two", QVariantList{3.5}, QVariantMap{{"deep", "yes"}}}},
            {"names", QStringList{"a", "b"}},
        };
        QTemporaryDir folder;
        const QString path = folder.filePath("settings.plist");
        QString error;
        QVERIFY2(PropertyList::writeFile(path, value, &error), qPrintable(error));
        const QVariantMap back = PropertyList::readFile(path).value_or(QVariant()).toMap();
        QCOMPARE(back.keys(), value.keys());
        for (auto it = value.cbegin(); it != value.cend(); ++it) {
            if (it.key() == "names")
                QCOMPARE(back.value("names").toStringList(), it.value().toStringList());
            else
                QVERIFY2(back.value(it.key()) == it.value(), qPrintable(it.key()));
        }
        QCOMPARE(back.value("when").toDateTime(), when);
        QCOMPARE(back.value("count").typeId(), QMetaType::Int);
    }

    void readsBinaryAndRefusesJunk()
    {
        // The binary form, as macOS writes settings files.
        const QVariantMap value{{"title", QString::fromUtf8("Ärger")}, {"pages", QVariantList{1, 2.5, true}}};
        const QByteArray xml = PropertyList::toXml(value).value_or(QByteArray());
        plist_t node = nullptr;
        plist_from_xml(xml.constData(), uint32_t(xml.size()), &node);
        char *bin = nullptr;
        uint32_t length = 0;
        plist_to_bin(node, &bin, &length);
        const QByteArray binary(bin, length);
        plist_to_bin_free(bin);
        plist_free(node);
        QVERIFY(binary.startsWith("bplist00"));
        QCOMPARE(PropertyList::fromData(binary).value_or(QVariant()).toMap(), value);

        QVERIFY(!PropertyList::fromData("not a plist"));
        QVERIFY(!PropertyList::fromData({}));

        QString error;
        QVERIFY(!PropertyList::toXml(QVariantMap{{"bad", QVariant()}}, &error));
        QVERIFY(error.contains("bad"));
        QVERIFY(!PropertyList::toXml(QVariantMap{{"huge", qulonglong(1) << 63}}, &error));

        // A failed write leaves the older file untouched.
        QTemporaryDir folder;
        const QString path = folder.filePath("keep.plist");
        QVERIFY(PropertyList::writeFile(path, QVariantMap{{"v", 1}}));
        QVERIFY(!PropertyList::writeFile(path, QVariantMap{{"v", QVariant::fromValue(QPoint(1, 2))}}));
        QCOMPARE(PropertyList::readFile(path).value_or(QVariant()).toMap().value("v"), QVariant(1));
    }

    // libplist reads by recursion and copies a shared object once per reference: such
    // lists are refused, saying why, before it sees them.
    void hostileListsAreRefusedBeforeLibplistReadsThem()
    {
        QString error;
        const auto refusedFor = [&](const QByteArray &data, const char *why) {
            error.clear();
            const bool refused = !PropertyList::fromData(data, &error);
            return refused && error.contains(QLatin1String(why));
        };
        const QByteArray head = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
        QVERIFY(refusedFor(head + QByteArray("<array>").repeated(200000) + QByteArray("</array>").repeated(200000)
                               + "</plist>",
                           "nested"));
        // Nested to the limit is fine.
        const int deepest = InputLimits::kMaxNesting;
        QVariant deep = PropertyList::fromData(head + QByteArray("<array>").repeated(deepest) + "<true/>"
                                               + QByteArray("</array>").repeated(deepest) + "</plist>")
                            .value_or(QVariant());
        for (int level = 0; level < deepest; ++level)
            deep = deep.toList().value(0);
        QCOMPARE(deep, QVariant(true));

        // Binary: arrays of sixteen references to the next one, seven levels down: under
        // 200 bytes standing for 270 million values. The shape check refuses it by its
        // count, without expanding anything...
        const QByteArray bomb = binaryList(referenceBomb(7));
        QVERIFY(bomb.size() < 200);
        QVERIFY(!PropertyListShape::check(bomb, &error));
        QVERIFY2(error.contains("values"), qPrintable(error));
        // ...and the reader refuses one just past the limit (five levels, 1.1 million
        // values), while four levels are read whole, every reference as often as it is used.
        QVERIFY(refusedFor(binaryList(referenceBomb(5)), "values"));
        const auto four = PropertyList::fromData(binaryList(referenceBomb(4)));
        QVERIFY(four);
        QVariantList level = four->toList();
        for (int depth = 1; depth < 4; ++depth) {
            QCOMPARE(level.size(), 16);
            level = level.constLast().toList();
        }
        QCOMPARE(level, QVariantList(16, QVariant("x")));
        QVERIFY(refusedFor(binaryList({QByteArray("\xA1\x00", 2)}), "refers to itself"));
        QVERIFY(refusedFor(binaryList({QByteArray("\xA1\x01", 2), QByteArray("\xA1\x00", 2)}), "refers to itself"));
        QVERIFY(refusedFor(binaryList({QByteArray("\xA1\x05", 2)}), "damaged"));
        QVERIFY(refusedFor(binaryList({QByteArray("\x5F\x13\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFFx")}), "damaged"));
        QVERIFY(refusedFor(QByteArray(InputLimits::kMaxPropertyListBytes + 1, ' '), "MB"));
        // libplist ends the program on a text with a zero in it, binary or XML (whose
        // reader takes the bytes as they are); the user is told of the zero, not of XML
        // that would be fine without it.
        QVERIFY(refusedFor(binaryList({QByteArray("\x53" "a\0b", 4)}), "zero"));
        QVERIFY(refusedFor(head + QByteArray("<array><dict><key>user</key><string>an\0a</string></dict></array></plist>", 72),
                           "zero"));

        // A value used twice is read twice, as it should be.
        const auto shared = PropertyList::fromData(binaryList({QByteArray("\xA2\x01\x01"), QByteArray("\x56shared")}));
        QVERIFY(shared);
        QCOMPARE(shared->toList(), (QVariantList{"shared", "shared"}));
    }

private:
    // The objects of a list whose top array holds sixteen references to the next array,
    // that one sixteen to the next, levels deep, the last naming the text "x".
    static QList<QByteArray> referenceBomb(int levels)
    {
        QList<QByteArray> objects;
        for (int level = 0; level < levels; ++level)
            objects << QByteArray(1, char(0xAF)) + QByteArray("\x10\x10") + QByteArray(16, char(level + 1));
        objects << QByteArray("\x51x");
        return objects;
    }

    // A binary list of the given objects (their bytes as stored, references one byte
    // wide); the first object is the top.
    static QByteArray binaryList(const QList<QByteArray> &objects)
    {
        QByteArray data = "bplist00";
        QList<int> offsets;
        for (const QByteArray &object : objects) {
            offsets << int(data.size());
            data += object;
        }
        const int table = int(data.size());
        for (int offset : offsets)
            data += char(offset);
        const auto number = [](quint64 value) {
            QByteArray bytes(8, '\0');
            for (int i = 7; i >= 0; --i, value >>= 8)
                bytes[i] = char(value & 0xff);
            return bytes;
        };
        return data + QByteArray(6, '\0') + char(1) + char(1) + number(quint64(objects.size())) + number(0)
               + number(quint64(table));
    }
};

QV_TEST(EncodingTest)
QV_TEST(PropertyListTest)
#include "tst_encoding.moc"
