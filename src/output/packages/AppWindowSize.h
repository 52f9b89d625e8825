#pragma once
// The window a desktop book opens in, as the output settings store it:
// "MAX" (maximised), "FULLSCREEN", or "CUSTOM:<width>,<height>" in points.

#include <QString>

class AppWindowSize
{
public:
    enum class Mode { Maximized, FullScreen, Custom };

    AppWindowSize() = default;
    static AppWindowSize custom(int width, int height);

    // Reads the stored text. Anything that is not "FULLSCREEN" or a "CUSTOM:" with two
    // positive integers is maximised, the way the settings sheet shows it.
    static AppWindowSize fromString(const QString &text);
    QString toString() const;

    Mode mode() const { return m_mode; }
    int width() const { return m_width; }
    int height() const { return m_height; }

private:
    Mode m_mode = Mode::Maximized;
    int m_width = 0;
    int m_height = 0;
};
