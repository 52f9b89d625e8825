#include "TestFiles.h"
#include "TestSupport.h"
#include "online/UploadBookDelegate.h"

#include <QDir>
#include <QtTest>

using namespace TestFiles;

namespace {

bool writeBook(const QString &folder, const QString &name, const QByteArray &page)
{
    return QDir().mkpath(folder + QStringLiteral("/files"))
           && writeFile(QStringLiteral("%1/%2.html").arg(folder, name), page);
}

} // namespace

class UploadBookDelegateTest : public QObject
{
    Q_OBJECT
private slots:
    void aNewConversionReplacesTheBook()
    {
        UploadBookDelegate convert;
        QVERIFY(!convert.ConvertBookForUpload(QStringLiteral("book"))); // no writer yet

        convert.setBookWriter([&](const QString &folder, const QString &name, const std::atomic_bool &) {
            return writeBook(folder, name, "first");
        });
        QVERIFY(convert.ConvertBookForUpload(QStringLiteral("book")));
        const QString page = UploadBookDelegate::bookFolder(QStringLiteral("book")) + QStringLiteral("/book.html");
        QCOMPARE(readFile(page), QByteArray("first"));

        // While it runs, the earlier finished conversion is not taken for this one.
        int statusWhileWriting = 0;
        convert.setBookWriter([&](const QString &folder, const QString &name, const std::atomic_bool &) {
            statusWhileWriting = convert.convertStatus();
            return writeBook(folder, name, "second");
        });
        QVERIFY(convert.ConvertBookForUpload(QStringLiteral("book")));
        QCOMPARE(statusWhileWriting, UploadBookDelegate::kRunning);
        QCOMPARE(readFile(page), QByteArray("second"));
    }

    void failedOrCancelledRunsKeepTheEarlierBook()
    {
        UploadBookDelegate convert;
        convert.setBookWriter([](const QString &folder, const QString &name, const std::atomic_bool &) {
            return writeBook(folder, name, "kept");
        });
        QVERIFY(convert.ConvertBookForUpload(QStringLiteral("book")));
        const QString page = UploadBookDelegate::bookFolder(QStringLiteral("book")) + QStringLiteral("/book.html");

        convert.setBookWriter([](const QString &folder, const QString &name, const std::atomic_bool &) {
            writeBook(folder, name, "half");
            return false;
        });
        QVERIFY(!convert.ConvertBookForUpload(QStringLiteral("book")));

        convert.setBookWriter([&](const QString &folder, const QString &name, const std::atomic_bool &) {
            writeBook(folder, name, "cancelled");
            convert.cancel();
            return true;
        });
        QVERIFY(!convert.ConvertBookForUpload(QStringLiteral("book")));
        QVERIFY(convert.convertStatus() & 128);

        convert.setBookWriter([](const QString &, const QString &, const std::atomic_bool &) -> bool {
            throw std::runtime_error("disk full");
        });
        QVERIFY(!convert.ConvertBookForUpload(QStringLiteral("book")));
        QVERIFY(convert.errorString().contains(QLatin1String("disk full")));

        QVERIFY(!convert.ConvertBookForUpload(QStringLiteral("../escape")));
        QCOMPARE(readFile(page), QByteArray("kept"));
        QCOMPARE(QDir(UploadBookDelegate::uploadFolder())
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("book")});
    }
};

QV_TEST(UploadBookDelegateTest)
#include "tst_uploadbookdelegate.moc"
