#pragma once
// The "Add a preloader" sheet of the preloader chooser: a movie (SWF) and the picture
// that stands for it. OK ends the sheet with 1 once both files exist; Cancel and the
// close box end it with 0.

#include "platform/ui/WindowController.h"

class QLabel;
class QLineEdit;
class QPushButton;

class AddPreloader : public WindowController
{
    Q_OBJECT
public:
    explicit AddPreloader(QObject *parent = nullptr);

    QString thumbFile() const;
    QString preloaderFile() const;

    void onOK();
    void onCancel();

protected:
    void bindOutlets() override;
    void awakeFromNib() override;

private:
    void showThumb();

    QLineEdit *m_txtPreloader = nullptr, *m_txtThumb = nullptr;
    QPushButton *m_btnBrowsePreloader = nullptr, *m_btnBrowseThumb = nullptr, *m_btnCancel = nullptr, *m_btnOK = nullptr;
    QLabel *m_imgThumb = nullptr;
};
