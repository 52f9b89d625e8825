#pragma once
// The "Mobile Setting" panel of the output window: the phone version's background
// colour, page-turn style ("Flip" or "Slide"), whether two pages slide together, and a
// settings text file to load. The choices are kept in four properties that the owner
// sets, shows with setNeedsDisplay(true) and reads back.
//
// The colour is chosen with the program's colour chooser (ColorPanelDelegate), which
// the swatch follows while it runs; cancelling it keeps the colour.

#include <QColor>
#include <QWidget>

class DrawSingleLine;
class QComboBox;
class QLabel;
class QPushButton;
class RoundButtonCell;

class MobileSettingView : public QWidget
{
    Q_OBJECT
public:
    explicit MobileSettingView(QWidget *parent = nullptr);
    MobileSettingView(const QRect &frame, QWidget *parent);

    QColor mainColor() const { return m_mainColor; }
    void setMainColor(const QColor &color) { m_mainColor = color; }
    QString mbFlipStyle() const { return m_mbFlipStyle; }
    void setMbFlipStyle(const QString &style) { m_mbFlipStyle = style; }
    QString mbDoubleSlide() const { return m_mbDoubleSlide; }
    void setMbDoubleSlide(const QString &slide) { m_mbDoubleSlide = slide; }
    QString mbSettingFile() const { return m_mbSettingFile; }
    void setMbSettingFile(const QString &path) { m_mbSettingFile = path; }

    // With flag, first brings the controls in line with the properties (a flip style
    // that is not offered becomes "Flip"); then repaints.
    void setNeedsDisplay(bool flag);

    RoundButtonCell *colorButton() const { return _btnColor; }
    QComboBox *flipStylePopUp() const { return _popFlipStyle; }
    QComboBox *doubleSlidePopUp() const { return _popDoubleSlide; }
    QPushButton *moreButton() const { return _btnMore; }

    static QLabel *labelOne(QWidget *parent);
    static QComboBox *popUpWithItems(const QStringList &items, QWidget *parent);

signals:
    // The settings text chosen with the panel's own button (mbSettingFile()).
    void settingFileChosen(const QString &path);

public slots:
    void onChangeColor();
    void onFlipStyleChange();
    void onDoubleSlideChange();
    void onOpenMobileTextSettings();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void setupView();
    void layoutControls();
    // A rectangle given from the lower left corner, as the layout is written.
    QRect fromBottom(double x, double y, double w, double h) const;

    QColor m_mainColor;
    QString m_mbFlipStyle;
    QString m_mbDoubleSlide;
    QString m_mbSettingFile;

    QLabel *_lblTitle = nullptr;
    QLabel *_lblBGColor = nullptr;
    RoundButtonCell *_btnColor = nullptr;
    QLabel *_lblFlipStyle = nullptr;
    QComboBox *_popFlipStyle = nullptr;
    QLabel *_lblDoubleSlide = nullptr;
    QComboBox *_popDoubleSlide = nullptr;
    QPushButton *_btnMore = nullptr;
    QList<DrawSingleLine *> m_lines; // left, right, top, bottom, then the four row separators
};
