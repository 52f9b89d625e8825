#pragma once
// The version and module-id controls of one web content system, with a help link,
// as the publish dialog and the plug-in package dialog show them (one per system).
//
// Controls are placed at fixed positions measured from the view's lower edge, so they
// keep their place above the help link when the view grows. An owner may delete
// controls it does not need (WordPress has no version or id); the accessors then
// answer null and setEnabled() skips them.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>

class PPDetailView : public QWidget
{
    Q_OBJECT
public:
    explicit PPDetailView(const QRect &frame, QWidget *parent = nullptr);

    QLabel *lblVersion() const { return m_lblVersion; }
    // Editable: shows any version text, with the known versions to choose from.
    QComboBox *comVersion() const { return m_comVersion; }
    QLabel *lblID() const { return m_lblID; }
    QLineEdit *txtID() const { return m_txtID; }
    QLabel *lblURL() const { return m_lblURL; }

    // Enables or disables the version box and the id field together; the labels and
    // the help link stay as they are. Hides QWidget::setEnabled on purpose.
    void setEnabled(bool enabled);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeControls();

    QPointer<QLabel> m_lblVersion;
    QPointer<QComboBox> m_comVersion;
    QPointer<QLabel> m_lblID;
    QPointer<QLineEdit> m_txtID;
    QPointer<QLabel> m_lblURL;
};
