#include "MainWindowSteps.h"
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

void openSettingEditor(QuorvelAppDelegate &app, const QString &key)
{
    FlashTemplateOutlineDelegate *outline = app.mainWindow()->designSettings();
    outline->openEditorForIndex(outline->model()->indexForKey(key, FlashTemplateModel::ValueColumn));
}

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

        driver.answerModal(chooseShareLinks);
        openSettingEditor(app, "socialShareLinks");
        const QList<ShareLinksItem> links = ShareLinksItem::parseByXmlString(tmpl->propertyValue("socialShareLinks"));
        QCOMPARE(links.size(), 3);
        QCOMPARE(links.last().links(), kForum);

        // The downloads: the book's own PDF, whole and by page, and the attachment.
        driver.answerModal([&driver, &attachment](WindowController *c) {
            control<QCheckBox>(c, "btnDownloadPDF")->setChecked(true);
            clickControl(c, "btnDefault");
            control<QCheckBox>(c, "btnDownloadSingle")->setChecked(true);
            control<QLineEdit>(c, "txtPrefix")->setText("atlas-");
            control<QTabWidget>(c, "tabView")->setCurrentIndex(1);
            driver.answerPanel({attachment});
            clickControl(c, "btnAdd");
            QTRY_COMPARE(qobject_cast<DownloadConfigDelegate *>(c)->attachList()->rowCount(), 1);
            clickControl(c, "btnOK"); // the window closes when the files are in place
        });
        app.session()->setModified(false);
        openSettingEditor(app, "downloadConfig");
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
