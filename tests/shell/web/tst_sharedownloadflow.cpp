#include "EditorSteps.h"
#include "PdfFixtures.h"
#include "TestFiles.h"
#include "TestSupport.h"
#include "furnishings/ShareLinksCollection.h"
#include "project/BookDocument.h"
#include "publishing/DownloadAttachList.h"
#include "publishing/ui/DownloadConfigDelegate.h"
#include "shell/BookSession.h"
#include "templates/FlashTemplate.h"
#include "templates/FlashTemplateModel.h"
#include "furnishings/ShareLinksModel.h"
#include "templates/ui/FlashTemplateOutlineDelegate.h"
#include "templates/ui/TemplateSettingItemDelegate.h"
#include "furnishings/ui/ShareLinks.h"

#include <QTabWidget>
#include <QtTest>

using namespace TestFiles;

namespace {

constexpr int kLong = 120000;
const QString kForum = QStringLiteral("https://forum.example/new?u=${url}&t=${title}");

// In the share links editor: of the book's buttons keep Facebook and E-mail, and add
// a forum of one's own.
void chooseShareLinks(WindowController *c)
{
    auto *dialog = qobject_cast<ShareLinks *>(c);
    ShareLinksModel *model = dialog->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QString title = model->itemAt(row)->title();
        model->setData(model->index(row, ShareLinksModel::StatusColumn),
                       title == "Facebook" || title == "E-mail" ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
    }
    control<QLineEdit>(c, "txtCaption")->setText("Forum");
    control<QLineEdit>(c, "txtUrlAddr")->setText(kForum);
    clickControl(c, "btnAdd");
    model->setData(model->index(dialog->selectedRow(), ShareLinksModel::StatusColumn), Qt::Checked, Qt::CheckStateRole);
    clickControl(c, "btnOK");
}

} // namespace

// Share links and downloads chosen in their editors from the main window's design
// settings: three share buttons (one typed in), the whole PDF, one PDF per page and an
// attachment; the project saved, reopened and published. QUORVEL_BOOK_OUT names the
// folder to publish into (the browser test reads the book there, and the files it
// was given in "sources/"); a temporary one otherwise.
class ShareDownloadFlowTest : public QObject
{
    Q_OBJECT
private slots:
    void chosenInTheEditorsSavedAndPublished()
    {
        QFile::remove(ShareLinksCollection::collectionFile());
        QTemporaryDir dir;
        const QString given = qEnvironmentVariable("QUORVEL_BOOK_OUT");
        const QString out = given.isEmpty() ? dir.filePath("published") : given;
        const QString pdf = dir.filePath("Atlas.pdf");
        const QString attachment = dir.filePath("Map legend.csv");
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 3));
        QVERIFY(writeFile(attachment, "symbol,meaning\n*,capital\n"));
        UiTestDriver driver;
        QuorvelAppDelegate app;
        QVERIFY(startWithImportedPdf(app, driver, pdf));
        FlashTemplate *tmpl = app.session()->document().flashTmpl();

        QVERIFY(editSetting(app, driver, "socialShareLinks", chooseShareLinks));
        const QList<ShareLinksItem> links = ShareLinksItem::parseByXmlString(tmpl->propertyValue("socialShareLinks"));
        QCOMPARE(links.size(), 3);
        QCOMPARE(links.last().links(), kForum);

        // The downloads: the book's own PDF, whole and by page, and the attachment.
        app.session()->setModified(false);
        editSetting(app, driver, "downloadConfig", [&driver, &attachment](WindowController *c) {
            chooseDownloads(c, driver, attachment, "atlas-");
        });
        QVERIFY(app.session()->isModified());
        const QString workspace = app.session()->document().parts().downloadWorkspace();
        QCOMPARE(readFile(workspace + "/Atlas.pdf"), readFile(pdf));
        QCOMPARE(QDir(workspace + "/pages").entryList(QDir::Files).size(), 3);
        // The setting's row tells what the book offers (its value stays empty).
        FlashTemplateOutlineDelegate *outline = app.mainWindow()->designSettings();
        QCOMPARE(outline->itemDelegate()->shownText(outline->model()->indexForKey("downloadConfig", FlashTemplateModel::ValueColumn)),
                 QString("Whole PDF, single pages (3), attachments (1)"));

        const QString project = dir.filePath("Atlas.qvprj");
        driver.answerPanel({project});
        QVERIFY(app.onSaveProjectAs());
        QVERIFY(app.closeBook());
        QVERIFY(app.openProject(project));
        QCOMPARE(ShareLinksItem::parseByXmlString(app.session()->document().flashTmpl()->propertyValue("socialShareLinks")),
                 links);
        QVERIFY(publishWebFolder(app, driver, out, "Atlas", "The Atlas", kLong));
        QVERIFY(writeFile(out + "/sources/Atlas.pdf", readFile(pdf)));
        QVERIFY(writeFile(out + "/sources/Map legend.csv", readFile(attachment)));
        QVERIFY(driver.failures().isEmpty());
        app.applicationWillTerminate();
    }
};

QV_TEST(ShareDownloadFlowTest)
#include "tst_sharedownloadflow.moc"
