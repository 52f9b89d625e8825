#include "TestSupport.h"
#include "shell/BookFileRequest.h"

#include <QtTest>

using Kind = BookFileRequest::Kind;

class BookFileRequestTest : public QObject
{
    Q_OBJECT
private slots:
    void projectBeforePdfBeforePictures()
    {
        const QStringList mixed = {"/a/p10.JPG", "/a/Report.PDF", "/a/Book.qvprj", "/a/other.pdf"};
        QCOMPARE(BookFileRequest::fromPaths(mixed).kind, Kind::Project);
        QCOMPARE(BookFileRequest::fromPaths(mixed).files, QStringList{"/a/Book.qvprj"});
        const BookFileRequest pdf = BookFileRequest::fromPaths({"/a/p1.png", "/a/Report.PDF", "/a/other.pdf"});
        QCOMPARE(pdf.kind, Kind::Pdf);
        QCOMPARE(pdf.files, QStringList{"/a/Report.PDF"});
        QCOMPARE(BookFileRequest::fromPaths({"/a/notes.txt", "/a/movie.mp4"}).kind, Kind::Unsupported);
        QCOMPARE(BookFileRequest::fromPaths({}).kind, Kind::None);
    }

    void picturesComeInCountingOrder()
    {
        const BookFileRequest r = BookFileRequest::fromPaths({"/s/page10.jpg", "/s/page2.png", "/s/Page1.jpg",
                                                              "/s/readme.txt", "/t/page2.png"});
        QCOMPARE(r.kind, Kind::Pictures);
        QCOMPARE(r.files, (QStringList{"/s/Page1.jpg", "/s/page2.png", "/t/page2.png", "/s/page10.jpg"}));
    }

    void commandLine()
    {
        const StartupRequest demo = StartupRequest::parse({"--demo", "--unknown"});
        QVERIFY(demo.demo);
        QCOMPARE(demo.file.kind, Kind::None);
        QTemporaryDir dir;
        const QString before = QDir::currentPath();
        QDir::setCurrent(dir.path());
        const StartupRequest file = StartupRequest::parse({"book.pdf"});
        QDir::setCurrent(before);
        QVERIFY(!file.demo);
        QCOMPARE(file.file.kind, Kind::Pdf);
        QCOMPARE(file.file.files, QStringList{dir.path() + "/book.pdf"}); // made absolute
    }
};

QV_TEST(BookFileRequestTest)
#include "tst_bookfilerequest.moc"
