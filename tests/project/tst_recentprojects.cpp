#include "ProjectFixtures.h"
#include "TestFiles.h"
#include "TestSupport.h"
#include "foundation/PropertyList.h"
#include "project/RecentProjectItem.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace ProjectFixtures;
using namespace TestFiles;

class RecentProjectsTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    QString project(const QString &name)
    {
        const QString file = m_dir.filePath(name);
        writeFile(file, "x");
        return file;
    }
    static QStringList names(const QList<RecentProjectItem> &items)
    {
        QStringList out;
        for (const RecentProjectItem &item : items)
            out << item.name();
        return out;
    }

private slots:
    void init() { QFile::remove(RecentProjectItem::listFilePath()); }

    void newestFirstAndOnceEach()
    {
        const QString a = project("a.qvprj"), b = project("b.qvprj");
        QVERIFY(RecentProjectItem("Alpha", a).saveToFile());
        QVERIFY(RecentProjectItem("Beta", b).saveToFile());
        QCOMPARE(names(RecentProjectItem::recentProjects()), QStringList({"Beta", "Alpha"}));

        // The same project again, by another spelling of its path and without a
        // name: it moves to the top and keeps the name it had.
        RecentProjectItem again;
        again.setPath(m_dir.filePath("sub/../a.qvprj"));
        QVERIFY(again.saveToFile());
        QList<RecentProjectItem> items = RecentProjectItem::recentProjects();
        QCOMPARE(names(items), QStringList({"Alpha", "Beta"}));
        QCOMPARE(items[0].path(), a);
        QVERIFY(RecentProjectItem("Renamed", a).saveToFile());
        QCOMPARE(names(RecentProjectItem::recentProjects()), QStringList({"Renamed", "Beta"}));

        QVERIFY(!RecentProjectItem("No path", QString()).saveToFile());
    }

    void cappedAndWithoutVanishedProjects()
    {
        for (int i = 0; i < RecentProjectItem::kMaxItems + 5; ++i)
            QVERIFY(RecentProjectItem(QString::number(i), project(QStringLiteral("p%1.qvprj").arg(i))).saveToFile());
        QList<RecentProjectItem> items = RecentProjectItem::recentProjects();
        QCOMPARE(items.size(), RecentProjectItem::kMaxItems);
        QCOMPARE(items.first().name(), QString::number(RecentProjectItem::kMaxItems + 4));

        QVERIFY(QFile::remove(items[1].path()));
        QDir().mkpath(m_dir.filePath("published-book")); // published books are folders
        QVERIFY(RecentProjectItem("Published", m_dir.filePath("published-book")).saveToFile());
        items = RecentProjectItem::recentProjects();
        QCOMPARE(items.size(), RecentProjectItem::kMaxItems - 1);
        QCOMPARE(items.last().name(), QString("Published")); // a published book, after the projects
        QVERIFY(!names(items).contains(QString::number(RecentProjectItem::kMaxItems + 3)));
    }

    void damagedListStartsAfresh()
    {
        QVERIFY(writeFile(RecentProjectItem::listFilePath(), "<plist><dict><key>broken"));
        QVERIFY(RecentProjectItem::recentProjects().isEmpty());
        QVERIFY(RecentProjectItem("Alpha", project("a.qvprj")).saveToFile());
        QCOMPARE(names(RecentProjectItem::recentProjects()), QStringList({"Alpha"}));
    }

    // Projects come first; a book keeps only its newest output in the list, so a book
    // published in every kind does not push the projects away.
    void publishedBooksAreToldApartFromProjects()
    {
        const QString atlas = project("Atlas.qvprj");
        QVERIFY(RecentProjectItem("Atlas", atlas).saveToFile());
        QVERIFY(RecentProjectItem("Globe", project("Globe.html"), 0).saveToFile());
        const QList<QPair<QString, int>> published{{"Atlas.html", 0}, {"Atlas.zip", 2}, {"Atlas.exe", 3}, {"atlas-wp.zip", 6}, {"atlas-j.zip", 7}};
        for (const auto &[file, kind] : published)
            QVERIFY(RecentProjectItem("Atlas", project(file), kind).saveToFile());
        // An entry an older version wrote, without its kind.
        QVariantList list = PropertyList::readFile(RecentProjectItem::listFilePath())->toList();
        list.prepend(QVariantMap{{"name", "Atlas"}, {"path", project("Old.exe")}});
        QVERIFY(PropertyList::writeFile(RecentProjectItem::listFilePath(), list));

        const QList<RecentProjectItem> items = RecentProjectItem::recentProjects();
        QCOMPARE(items.size(), 4);
        QCOMPARE(items.first().path(), atlas);
        QVERIFY(!items.first().isPublishedBook());
        QCOMPARE(items.at(1).kind(), 3); // the older entry, by its extension
        QCOMPARE(items.at(2).path(), m_dir.filePath("atlas-j.zip"));
        QCOMPARE(items.at(3).name(), QString("Globe"));
        QSet<QString> titles;
        for (const RecentProjectItem &item : items)
            titles.insert(item.displayTitle());
        QCOMPARE(titles.size(), 4); // one name, different rows
        QVERIFY(items.at(3).isWebBook());
        QVERIFY(!items.at(2).isWebBook());
    }
};

QV_TEST(RecentProjectsTest)
#include "tst_recentprojects.moc"
