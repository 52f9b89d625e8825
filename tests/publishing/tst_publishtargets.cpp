#include "FailingWrites.h"
#include "TestSupport.h"
#include "publishing/PublishTargets.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>

class PublishTargetsTest : public QObject
{
    Q_OBJECT
private slots:
    void targetsByKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("zip");
        QTest::addColumn<int>("loadType");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("targets");
        QTest::addColumn<QStringList>("companions");
        QTest::addColumn<QString>("engineName");
        const QString f = "/out";
        QTest::newRow("web folder") << 0 << false << 0 << "MyBook" << QStringList{f + "/MyBook.html"}
                                    << QStringList{f + "/files", f + "/mobile"} << "MyBook";
        QTest::newRow("web folder, no phone version") << 0 << false << 2 << "MyBook" << QStringList{f + "/MyBook.html"}
                                                      << QStringList{f + "/files"} << "MyBook";
        QTest::newRow("packed web folder") << 0 << true << 0 << "MyBook"
                                           << QStringList{f + "/MyBook.zip", f + "/index.zip"} << QStringList{}
                                           << "index";
        QTest::newRow("packed application") << 1 << true << 0 << "MyBook" << QStringList{f + "/MyBook.zip"}
                                            << QStringList{} << "MyBook";
        QTest::newRow("plug-in named .zip") << 8 << false << 0 << "Mod.ZIP" << QStringList{f + "/Mod.ZIP"} << QStringList{}
                                            << "Mod.ZIP";
        QTest::newRow("sealed package") << 5 << true << 0 << "MyBook" << QStringList{f + "/MyBook.fmapp"}
                                        << QStringList{} << "MyBook";
        QTest::newRow("plug-in") << 7 << false << 0 << "MyBook" << QStringList{f + "/MyBook.zip"} << QStringList{}
                                 << "MyBook";
    }

    void targetsByKind()
    {
        QFETCH(int, kind);
        QFETCH(bool, zip);
        QFETCH(int, loadType);
        QFETCH(QString, name);
        QFETCH(QStringList, targets);
        QFETCH(QStringList, companions);
        QFETCH(QString, engineName);
        const PublishTargets t("/out", name, *OutputKind::fromNumber(kind), zip, loadType);
        QCOMPARE(t.targets(), targets);
        QCOMPARE(t.target(), targets.first());
        QCOMPARE(t.companions(), companions);
        QCOMPARE(t.engineName(), engineName);
        QCOMPARE(t.engineArchive().isEmpty(), !((kind == 0 || kind == 4) && zip));
    }

    void namesThatCannotNameAFile()
    {
        for (const QString &bad : QStringList{"/", "a/b", ".", "..", "../up", QString("a") + QChar(0)})
            QVERIFY2(!PublishTargets::nameProblem(bad).isEmpty(), qPrintable(bad));
        for (const QString &good : QStringList{"", "My Book", "...", ".hidden", "a.b", "Книга"})
            QVERIFY2(PublishTargets::nameProblem(good).isEmpty(), qPrintable(good));
    }

    void folderIsStandardised()
    {
        QCOMPARE(PublishTargets::standardizedFolder("~/Books/../Out//"), QDir::homePath() + "/Out");
        QCOMPARE(PublishTargets::standardizedFolder("relative"), QDir::cleanPath(QDir::currentPath() + "/relative"));
        QCOMPARE(PublishTargets::standardizedFolder("~user/x"), QDir::cleanPath(QDir::currentPath() + "/~user/x"));
        QCOMPARE(PublishTargets::standardizedFolder("  "), QString());
    }

    void outputFolderIsMadeOrRefusedWithTheSystemsReason()
    {
        using State = PublishTargets::FolderState;
        QTemporaryDir dir;
        const QString nested = dir.filePath("a/b/c");
        State state = PublishTargets::prepareFolder(nested);
        QCOMPARE(state.outcome, State::Created);
        QVERIFY(QFileInfo(nested).isDir());
        QCOMPARE(PublishTargets::prepareFolder(nested).outcome, State::Ready);

        QFile file(dir.filePath("notes.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        state = PublishTargets::prepareFolder(file.fileName());
        QCOMPARE(state.outcome, State::NotAFolder);
        state = PublishTargets::prepareFolder(file.fileName() + "/book");
        QCOMPARE(state.outcome, State::CannotCreate);
        QCOMPARE(state.reason, QString::fromLocal8Bit(std::strerror(ENOTDIR)));
        QVERIFY(QFileInfo(file.fileName()).isFile());

        // A folder no one may write into, root included, and one that cannot be made.
        const QStringList refusals{QString::fromLocal8Bit(std::strerror(EACCES)), QString::fromLocal8Bit(std::strerror(EROFS)),
                                   QString::fromLocal8Bit(std::strerror(EPERM))};
        state = PublishTargets::prepareFolder(FailingWrites::lockedFolder());
        QCOMPARE(state.outcome, State::NotWritable);
        QVERIFY2(refusals.contains(state.reason), qPrintable(state.reason));
        state = PublishTargets::prepareFolder(FailingWrites::unmakeableFolder());
        QCOMPARE(state.outcome, State::CannotCreate);
        QVERIFY(!state.reason.isEmpty());
        QVERIFY(!QFileInfo::exists(FailingWrites::unmakeableFolder()));
    }
};

QV_TEST(PublishTargetsTest)
#include "tst_publishtargets.moc"
