#pragma once
// Steps of the headless window tests in the editors the main window opens, done as a
// person does them: a design setting's window, the captions, viewer menu, extra icons,
// toolbar icons and downloads windows, the preloader chooser, the scenes maker, the book
// cover dialog, the narration windows and the security dialog with its users list.
// Steps that run inside a window take its controller, as a modal answer hands it over.

#include "MainWindowSteps.h"
#include "TestFiles.h"
#include "furnishings/FlashMenuItem.h"
#include "furnishings/ui/AddPreloader.h"
#include "furnishings/ui/CaptionExpressionDelegate.h"
#include "furnishings/ui/FlashPreloaderDelegate.h"
#include "furnishings/ui/OtherIconSettings.h"
#include "furnishings/ui/OtherIconsDelegate.h"
#include "furnishings/ui/PageNumberCaption.h"
#include "output/narration/GenerateAssistant.h"
#include "project/BookDocument.h"
#include "publishing/DownloadAttachList.h"
#include "publishing/ui/AssistantSettingView.h"
#include "publishing/ui/BookCoverDelegate.h"
#include "publishing/ui/BookSecurityDelegate.h"
#include "publishing/ui/DownloadConfigDelegate.h"
#include "publishing/ui/ManageRecordDelegate.h"
#include "publishing/ui/UsersListSecurity.h"
#include "shell/BookSession.h"
#include "templates/FlashTemplateModel.h"
#include "templates/ui/FlashTemplateOutlineDelegate.h"

#include <QComboBox>
#include <QRadioButton>
#include <QMimeData>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>
#include <memory>

// Clears the field called name and types text into it.
inline void typeInto(WindowController *c, const char *name, const QString &text)
{
    auto *field = control<QLineEdit>(c, name);
    field->clear();
    QTest::keyClicks(field, text);
}

// Drops files on the window, as from a file manager.
inline void dropFiles(WindowController *c, const QStringList &paths)
{
    std::unique_ptr<QMimeData> data(TestFiles::filesMime(paths));
    c->window()->findChild<DragFileImport *>()->performDrop(data.get());
}

// Runs the editor behind the button of the design setting key, answering its window
// with fill; true when the editor changed the setting.
inline bool editSetting(QuorvelAppDelegate &app, UiTestDriver &driver, const QString &key,
                        UiTestDriver::ModalHandler fill)
{
    FlashTemplateOutlineDelegate *outline = app.mainWindow()->designSettings();
    driver.answerModal(std::move(fill));
    return outline->openEditorForIndex(outline->model()->indexForKey(key, FlashTemplateModel::ValueColumn));
}

// One expression built in the caption window's sheet: pages from to to, the caption
// typed, then the macro of the sheet's menu at index macro (none for -1).
inline void addCaption(WindowController *editor, const QString &from, const QString &to, int macro, const QString &caption)
{
    clickControl(editor, "btnAddExpression");
    CaptionExpressionDelegate *sheet = static_cast<PageNumberCaption *>(editor)->expressionSheet();
    typeInto(sheet, "txtFromPage", from);
    typeInto(sheet, "txtToPage", to);
    typeInto(sheet, "txtCaption", caption);
    if (macro >= 0)
        sheet->macroMenu()->actions().at(macro)->trigger();
    clickControl(sheet, "btnOK");
    QTRY_VERIFY(!static_cast<PageNumberCaption *>(editor)->expressionSheet());
}

// A link entry added in the viewer menu window.
inline void addMenuEntry(WindowController *editor, const QString &caption, const QString &address)
{
    clickControl(editor, "btnAdd");
    typeInto(editor, "txtCaption", caption);
    control<QComboBox>(editor, "popType")->setCurrentIndex(FlashMenuItem::Url);
    typeInto(editor, "txtContent", address);
}

// An extra icon added in the extra icons window through its settings sheet: the
// picture, the caption and the page it turns to.
inline void addExtraIcon(WindowController *editor, const QString &picture, const QString &caption, const QString &page)
{
    auto *icons = static_cast<OtherIconsDelegate *>(editor);
    const qsizetype before = icons->iconsList().size();
    clickControl(editor, "btnAdd");
    OtherIconSettings *sheet = icons->settingsDelegate();
    typeInto(sheet, "txtFilePath", picture);
    typeInto(sheet, "txtCaption", caption);
    typeInto(sheet, "txtPageIndex", page);
    clickControl(sheet, "btnOK");
    QTRY_COMPARE(icons->iconsList().size(), before + 1);
}

// In the toolbar icons window: the picture dropped on the row of the button titled
// button (as the table shows it, "Next page"); waits until the row names its new file.
inline void replaceToolbarIcon(WindowController *editor, const QString &button, const QString &picture)
{
    auto *table = control<QTableWidget>(editor, "tableView");
    const QList<QTableWidgetItem *> found = table->findItems(button, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(button));
    const int row = found.first()->row();
    const QString before = table->item(row, 2)->toolTip();
    table->selectRow(row);
    dropFiles(editor, {picture});
    QTRY_VERIFY(!table->item(row, 2)->toolTip().isEmpty() && table->item(row, 2)->toolTip() != before);
}

// In the download configuration window: the book's own PDF offered whole and by page
// (page files named prefix<n>.pdf) and the attachment; OK, after which the window
// closes once the files are in place.
inline void chooseDownloads(WindowController *c, UiTestDriver &driver, const QString &attachment, const QString &prefix)
{
    control<QCheckBox>(c, "btnDownloadPDF")->setChecked(true);
    clickControl(c, "btnDefault");
    control<QCheckBox>(c, "btnDownloadSingle")->setChecked(true);
    control<QLineEdit>(c, "txtPrefix")->setText(prefix);
    control<QTabWidget>(c, "tabView")->setCurrentIndex(1);
    driver.answerPanel({attachment});
    clickControl(c, "btnAdd");
    QTRY_COMPARE(qobject_cast<DownloadConfigDelegate *>(c)->attachList()->rowCount(), 1);
    clickControl(c, "btnOK");
}

// In the preloader chooser: a preloader of the user's added from a movie and its
// picture, then chosen (it is named after the movie).
inline void addAndChoosePreloader(WindowController *c, const QString &movie, const QString &picture)
{
    auto *chooser = static_cast<FlashPreloaderDelegate *>(c);
    clickControl(c, "btnAdd");
    control<QLineEdit>(chooser->addPreloaderDelegate(), "txtPreloader")->setText(movie);
    control<QLineEdit>(chooser->addPreloaderDelegate(), "txtThumb")->setText(picture);
    clickControl(chooser->addPreloaderDelegate(), "btnOK");
    const int index = chooser->indexOfPreloader(QFileInfo(movie).completeBaseName());
    QVERIFY(index >= 0);
    chooser->chooseItemAt(index);
}

// In the scenes maker: a layer from file, on the layer (0 behind the book, 1 in front)
// and at the place (0 top left ... 3 bottom right) of the maker's lists.
inline void addSceneLayer(WindowController *c, const QString &file, int layer, int layout)
{
    control<QLineEdit>(c, "txtFile")->setText(file);
    control<QComboBox>(c, "popLayer")->setCurrentIndex(layer);
    control<QComboBox>(c, "popLayout")->setCurrentIndex(layout);
    clickControl(c, "btnAdd");
}

// Makes a cover in the Book Cover dialog of the Additions menu: the cover maker's first
// picture, kept under the template name, used as mode says (the dialog's radio cell:
// "cellCoverOnly", "cellReplacePage" or "cellInsertPage", the two last at the first
// page). True once the book has taken it.
inline bool makeCover(QuorvelAppDelegate &app, const char *mode, const QString &templateName)
{
    QAction *item = bookMenuItem(app.mainWindow(), QStringLiteral("bookCover"));
    if (!item || !item->isEnabled())
        return false;
    item->trigger();
    BookCoverDelegate *dialog = app.bookCoverDelegate();
    if (!dialog || !dialog->isSheet())
        return false;
    QSignalSpy idle(&dialog->renderQueue(), &BookCoverRenderQueue::idle);
    if (dialog->renderQueue().isBusy() && !idle.wait(30000))
        return false;
    clickControl(dialog, mode);
    clickControl(dialog, "btnFirstPage");
    control<QComboBox>(dialog, "comTemplates")->setEditText(templateName);
    QSignalSpy changed(&app, &QuorvelAppDelegate::bookCoverDidChange);
    clickControl(dialog, "btnOK");
    return changed.wait(30000);
}

// Double-clicks the narration character titled name in the "Assistant" tab; its index
// in the tab's list, -1 when the tab has none of that name.
inline int chooseNarrator(QuorvelAppDelegate &app, const QString &name)
{
    MainWindow *window = app.mainWindow();
    window->designTabView()->setCurrentWidget(window->tabPage(QStringLiteral("assistant")));
    auto *tab = window->tabPage(QStringLiteral("assistant"))->findChild<AssistantSettingView *>();
    int index = -1;
    for (int i = 0; tab && i < tab->imageList().size(); ++i)
        if (tab->imageList().at(i).bgName == name)
            index = i;
    if (index < 0)
        return -1;
    PictureGridView *grid = tab->imageView();
    const QRect cell = grid->visualRect(grid->model()->index(index, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    return index;
}

// In the recordings manager: the spread of row narrated by the recording imported
// through the MP3 pane's Browse button.
inline void importRecording(ManageRecordDelegate &manager, UiTestDriver &driver, int row, const QString &recording)
{
    manager.tableView()->selectRow(row);
    QTRY_COMPARE(manager.selectedIndex(), qint64(row));
    manager.typeButton(ManageRecordDelegate::Mp3Pane)->click();
    driver.answerPanel({recording});
    manager.mp3OptionsView().btnBrowse->click();
    QTRY_VERIFY(!manager.generateAssistant()->resourceList().at(row).importmp3File().isEmpty());
}

// In the security dialog: protection by a users list, the users added in the list
// editor with the passwords typed into its table; OK.
inline void protectWithUsers(WindowController *c, UiTestDriver &driver, const QStringList &passwords)
{
    clickControl(c, "cellUserList");
    driver.answerModal([passwords](WindowController *e) {
        for (int i = 0; i < passwords.size(); ++i)
            clickControl(e, "btnAdd");
        auto *table = control<QTableView>(e, "tableView");
        for (int row = 0; row < passwords.size(); ++row)
            table->model()->setData(table->model()->index(row, 1), passwords[row]);
        e->close();
    });
    clickControl(c, "btnEditUserInfo");
    auto *dialog = qobject_cast<BookSecurityDelegate *>(c);
    QTRY_VERIFY(dialog->usersListEditor() && !dialog->usersListEditor()->isRunningModal());
    clickControl(c, "btnOK");
}
