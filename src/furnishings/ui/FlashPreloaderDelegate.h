#pragma once
// The preloader chooser, opened by the design settings' preloader row: the installed
// preloaders as pictures. A double-click chooses one and closes the window with 1; the
// close box closes it with 0. Either way the opener takes getSelectedPreloaderName()
// as the setting's value. "Add..." installs a preloader of the user's (the AddPreloader
// sheet), "Remove" deletes the user's selected ones after asking.

#include "furnishings/PreloaderChoice.h"
#include "platform/ui/WindowController.h"

#include <memory>

class AddPreloader;
class PictureGridView;
class QPushButton;

class FlashPreloaderDelegate : public WindowController
{
    Q_OBJECT
public:
    explicit FlashPreloaderDelegate(const QString &preloaderName, QObject *parent = nullptr);
    ~FlashPreloaderDelegate() override;

    QString getSelectedPreloaderName() const { return m_choice.selectedName(); }
    int indexOfPreloader(const QString &name) const;
    const QList<FlashTemlPreloaderItem> &flashPreloaderList() const { return m_choice.items(); }
    int selectedItemIndex() const { return m_choice.selectedIndex(); }
    bool isClosed() const { return m_isClosed; }
    PictureGridView *imageView() const { return m_imageView; }
    // The add sheet while it is open (made on first use).
    AddPreloader *addPreloaderDelegate() const { return m_addPreloader.get(); }

    void onAdd();
    void onRemove();
    // What a double-click on a row does.
    void chooseItemAt(int row);

protected:
    void bindOutlets() override;
    void awakeFromNib() override;
    void windowWillClose() override;

private:
    void addPreloaderDidEnd(int code);
    void checkRemoveStatus();
    void reloadChange();
    void updateTips();

    PreloaderChoice m_choice;
    std::unique_ptr<AddPreloader> m_addPreloader;
    bool m_isClosed = false;
    QWidget *m_imageHolder = nullptr;
    PictureGridView *m_imageView = nullptr;
    QPushButton *m_btnAdd = nullptr, *m_btnRemove = nullptr;
};
