#include "output/packages/AppWindowSize.h"

#include <QStringList>

namespace {
// Larger than any screen; keeps a stored size from overflowing what the launchers
// hand to a browser.
constexpr int kMaxSide = 16384;
} // namespace

AppWindowSize AppWindowSize::custom(int width, int height)
{
    AppWindowSize size;
    if (width <= 0 || height <= 0)
        return size;
    size.m_mode = Mode::Custom;
    size.m_width = qMin(width, kMaxSide);
    size.m_height = qMin(height, kMaxSide);
    return size;
}

AppWindowSize AppWindowSize::fromString(const QString &text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char(':'));
    const QString kind = parts.first().trimmed().toUpper();
    if (kind == QLatin1String("FULLSCREEN")) {
        AppWindowSize size;
        size.m_mode = Mode::FullScreen;
        return size;
    }
    if (kind == QLatin1String("CUSTOM") && parts.size() == 2) {
        const QStringList numbers = parts.at(1).split(QLatin1Char(','));
        if (numbers.size() == 2) {
            bool okW = false, okH = false;
            const int w = numbers.at(0).trimmed().toInt(&okW);
            const int h = numbers.at(1).trimmed().toInt(&okH);
            if (okW && okH)
                return custom(w, h);
        }
    }
    return {};
}

QString AppWindowSize::toString() const
{
    switch (m_mode) {
    case Mode::FullScreen:
        return QStringLiteral("FULLSCREEN");
    case Mode::Custom:
        return QStringLiteral("CUSTOM:%1,%2").arg(m_width).arg(m_height);
    case Mode::Maximized:
        break;
    }
    return QStringLiteral("MAX");
}
