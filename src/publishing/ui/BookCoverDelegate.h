#pragma once
// The "Book Cover" dialog: makes a cover picture for the open book with the cover maker
// program. The source picture (one of the book's pages, a dropped or chosen picture)
// and the cover are shown side by side; every change of source or design draws the
// cover again, "Edit Cover…" opens the cover maker's own editor on the design, named
// designs are kept as templates, and the cover can be saved anywhere.
//
// The dialog works on the working files in its workspace (BookCoverWorkFiles) and
// writes the user's files only when OK ends it: after the template question has let
// the window close, the cover and the design go to their destinations, then the
// settings. OK waits for a render still running. The shell reads outputFile(),
// outputMode() and outputIndex() after the sheet ended with 1.
//
// The shell keeps one dialog for the whole run: it sets workspace (once) and pages at
// every opening; the window is prepared on its first opening.

#include "pages/FlashPage.h"
#include "platform/ui/DragFileImport.h"
#include "platform/ui/WindowController.h"
#include "publishing/BookCoverRenderQueue.h"
#include "publishing/BookCoverSettings.h"
#include "publishing/BookCoverTemplates.h"
#include "publishing/ui/ImageEditView.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QPointer>
#include <memory>

class BookCoverWorkFiles;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QvPanel;

class BookCoverDelegate : public WindowController, public ImageEditViewDelegate
{
    Q_OBJECT
public:
    explicit BookCoverDelegate(QObject *parent = nullptr);
    ~BookCoverDelegate() override;

    QString workspace() const { return m_workspace; }
    void setWorkspace(const QString &folder) { m_workspace = folder; }
    const QList<FlashPagePtr> &pages() const { return m_pages; }
    // The book's pages offered as sources; the page list is rebuilt when the window is
    // already there, and the page index kept inside the book.
    void setPages(const QList<FlashPagePtr> &pages);

    QString inputFile() const { return m_settings.inputFile; }
    QString outputFile() const { return m_settings.outputFile; }
    QString configFile() const { return m_settings.configFile; }
    qint64 outputMode() const { return m_settings.outputMode; }
    qint64 outputIndex() const { return m_settings.outputIndex; }

    // The working files (valid once the window was prepared).
    QString tmpinputFile() const;
    QString tmpoutputFile() const;
    QString tmpconfigFile() const;
    BookCoverRenderQueue &renderQueue() { return m_queue; }
    const BookCoverTemplates &templates() const { return m_templates; }
    QImage grayImage() const { return m_grayImage; }
    ImageEditView *sourceImageView() const { return m_sourceImageView; }
    ImageEditView *destImageView() const { return m_destImageView; }
    DragFileImport *sourceDropTarget() const { return m_sourceDrop; }
    DragFileImport *destDropTarget() const { return m_destDrop; }

    // The page number field's text: its digits only.
    static QString pageNumberText(const QString &typed);

public slots:
    void onTemplateChanged(int index);
    void onAddTemplate();
    void onRemoveTemplate();
    void onChangePages(int index);
    void radioDidChanged();
    void onClickedFirstPage();
    void onClickedLastPage();
    void controlTextDidChange();
    void onRefresh();
    void onEdit();
    void onSaveResult();
    void onOK();
    void onCancel();

    // ImageEditViewDelegate
    void ImageEditViewBrowseImage(ImageEditView *view) override;
    void ImageEditViewWillRemoveImage(ImageEditView *view) override;

protected:
    void bindOutlets() override;
    void awakeFromNib() override;
    bool windowShouldClose() override;

private:
    void loadSetttings();
    void saveSetttings();
    void loadTemplates();
    void refreshTemplatesTitle();
    void setRadios();
    void fillPageList();
    qint64 pageCount() const { return m_pages.size(); }
    void refreshSourceFile(const QString &path);
    void refreshDestFile(const QString &path);
    void showPicture(ImageEditView *view, const QString &path);
    void convertImage(bool edit);
    void showEditResult(bool ok);
    void renderQueueIdle();
    void onDragFileEnd(DragFileImport *target);
    void openFileForImage(ImageEditView *view);
    void endSaveImage(const QString &path);
    // The template question of OK; true when the window may close.
    bool addTemplate();
    void finishOK();
    void setBusy(bool busy);

    QString m_workspace;
    QList<FlashPagePtr> m_pages;
    BookCoverSettings m_settings;
    std::unique_ptr<BookCoverWorkFiles> m_files;
    QHash<QString, QString> m_fileDict;
    BookCoverTemplates m_templates;
    BookCoverRenderQueue m_queue;
    QImage m_grayImage;
    bool m_isBackgroundChange = false;
    bool m_okWaiting = false;
    bool m_settingsLoaded = false;
    std::unique_ptr<QvPanel> m_panel;

    QComboBox *m_comTemplates = nullptr;
    QPushButton *m_btnAddTemplate = nullptr;
    QPushButton *m_btnRemoveTemplate = nullptr;
    QWidget *m_sourceOutline = nullptr;
    QWidget *m_destOutline = nullptr;
    QComboBox *m_comPages = nullptr;
    QWidget *m_mtxActionMode = nullptr;
    QLineEdit *m_txtPageNumber = nullptr;
    QPushButton *m_btnFirstPage = nullptr;
    QPushButton *m_btnLastPage = nullptr;
    QPushButton *m_btnSave = nullptr;
    QPushButton *m_btnEdit = nullptr;
    QPushButton *m_btnOK = nullptr;
    QPushButton *m_btnCancel = nullptr;
    QLabel *m_lblMessage = nullptr;
    ImageEditView *m_sourceImageView = nullptr;
    ImageEditView *m_destImageView = nullptr;
    QProgressBar *m_circularIndicator = nullptr;
    QPointer<DragFileImport> m_sourceDrop;
    QPointer<DragFileImport> m_destDrop;
};
