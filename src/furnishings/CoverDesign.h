#pragma once
// The design of a book cover, as the cover maker program (tools/bookcovermaker) reads
// and writes it: the canvas, its background, how the source picture sits on it (size,
// place, frame, perspective turn, shadow) and a title. Saved as a property list, the
// cover configuration file (docs/cover-maker.md):
//
//   <dict>
//     <key>format</key><string>QuorvelCover</string>
//     <key>version</key><integer>1</integer>
//     <key>width</key><integer>1200</integer>        ... every other key optional
//   </dict>
//
// Every number is kept inside its range (a value outside it is clamped when read and
// when set), so any design can be rendered. Colours are "0xRRGGBB" text.

#include <QColor>
#include <QSize>
#include <QString>
#include <QVariantMap>

class CoverDesign
{
public:
    enum class BackgroundKind { Solid, Gradient };
    enum class TitlePlace { None, Top, Bottom };

    static constexpr int kMinSide = 16;
    static constexpr int kMaxSide = 4096;
    static constexpr int kMaxFrame = 200;
    static constexpr int kMaxBlur = 100;
    static constexpr int kMaxOffset = 400;
    static constexpr int kMaxTurn = 60;      // degrees either way
    static constexpr int kMaxTitleSize = 400; // pixels
    static constexpr int kMaxTitleLength = 200;
    static constexpr qint64 kMaxFileSize = 1 << 20;

    QSize canvasSize() const { return m_size; }
    void setCanvasSize(const QSize &size);

    BackgroundKind backgroundKind() const { return m_backgroundKind; }
    void setBackgroundKind(BackgroundKind kind) { m_backgroundKind = kind; }
    QColor backgroundColor() const { return m_background; }
    void setBackgroundColor(const QColor &color) { m_background = opaque(color); }
    // The second colour of a gradient, which runs from top to bottom.
    QColor backgroundColor2() const { return m_background2; }
    void setBackgroundColor2(const QColor &color) { m_background2 = opaque(color); }

    // The picture's height as a share of the canvas height (0.1 to 1), its centre as
    // shares of the canvas (0 to 1).
    double pictureScale() const { return m_scale; }
    void setPictureScale(double scale);
    double pictureCenterX() const { return m_centerX; }
    void setPictureCenterX(double x);
    double pictureCenterY() const { return m_centerY; }
    void setPictureCenterY(double y);

    int frameWidth() const { return m_frameWidth; }
    void setFrameWidth(int width);
    QColor frameColor() const { return m_frameColor; }
    void setFrameColor(const QColor &color) { m_frameColor = opaque(color); }

    // Turn of the picture about its vertical axis, in degrees: positive turns its right
    // edge away (the left edge stays full height), negative the left edge.
    int turn() const { return m_turn; }
    void setTurn(int degrees);

    int shadowBlur() const { return m_shadowBlur; }
    void setShadowBlur(int radius);
    int shadowOffsetX() const { return m_shadowX; }
    int shadowOffsetY() const { return m_shadowY; }
    void setShadowOffset(int x, int y);
    double shadowOpacity() const { return m_shadowOpacity; } // 0: no shadow
    void setShadowOpacity(double opacity);
    QColor shadowColor() const { return m_shadowColor; }
    void setShadowColor(const QColor &color) { m_shadowColor = opaque(color); }

    QString title() const { return m_title; }
    void setTitle(const QString &title);
    TitlePlace titlePlace() const { return m_titlePlace; }
    void setTitlePlace(TitlePlace place) { m_titlePlace = place; }
    int titleSize() const { return m_titleSize; }
    void setTitleSize(int pixels);
    QColor titleColor() const { return m_titleColor; }
    void setTitleColor(const QColor &color) { m_titleColor = opaque(color); }
    QString titleFont() const { return m_titleFont; } // family; empty: the default
    void setTitleFont(const QString &family) { m_titleFont = family.left(100); }
    bool titleBold() const { return m_titleBold; }
    void setTitleBold(bool bold) { m_titleBold = bold; }
    bool hasTitle() const { return m_titlePlace != TitlePlace::None && !m_title.trimmed().isEmpty(); }

    QVariantMap toDictionary() const;
    // The design of a dictionary read from a file; false, with *error, when it is not
    // a cover design (wrong format name, a newer version). Unknown keys are ignored.
    bool readDictionary(const QVariantMap &dictionary, QString *error = nullptr);

    // A missing file reads as false with *missing set; an unreadable, oversized or
    // foreign file as false with *error. The design is unchanged on failure.
    bool loadFromFile(const QString &path, QString *error = nullptr, bool *missing = nullptr);
    // Written atomically.
    bool saveToFile(const QString &path, QString *error = nullptr) const;

    bool operator==(const CoverDesign &other) const = default;

private:
    static QColor opaque(const QColor &color);

    QSize m_size{1200, 1200};
    BackgroundKind m_backgroundKind = BackgroundKind::Gradient;
    QColor m_background{0x3C, 0x4A, 0x5C};
    QColor m_background2{0x12, 0x18, 0x22};
    double m_scale = 0.72;
    double m_centerX = 0.5;
    double m_centerY = 0.46;
    int m_frameWidth = 6;
    QColor m_frameColor{Qt::white};
    int m_turn = 0;
    int m_shadowBlur = 24;
    int m_shadowX = 14;
    int m_shadowY = 18;
    double m_shadowOpacity = 0.55;
    QColor m_shadowColor{Qt::black};
    QString m_title;
    TitlePlace m_titlePlace = TitlePlace::Bottom;
    int m_titleSize = 64;
    QColor m_titleColor{Qt::white};
    QString m_titleFont;
    bool m_titleBold = true;
};
