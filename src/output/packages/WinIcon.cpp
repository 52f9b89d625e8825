#include "output/packages/WinIcon.h"

#include "foundation/AppUtility.h"
#include "output/packages/IcoFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
constexpr qint64 kMaxExeSize = 256 * 1024 * 1024;
} // namespace

WinIcon *WinIcon::shareInance()
{
    static WinIcon shared;
    return &shared;
}

QString WinIcon::iconFolder() const
{
    return m_iconFolder.isEmpty() ? AppUtility::userAppExtraDataPath(QStringLiteral("ExeIcons")) : m_iconFolder;
}

bool WinIcon::loadExeFile(const QString &path)
{
    m_exe.clear();
    m_info.clear();
    m_exePath = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("cannot read %1").arg(path);
        return false;
    }
    if (file.size() > kMaxExeSize) {
        m_error = QStringLiteral("%1 is too large").arg(path);
        return false;
    }
    m_exe = file.readAll();
    PeFile pe;
    if (!pe.parse(m_exe)) {
        m_error = pe.errorString();
        m_exe.clear();
        return false;
    }
    return true;
}

bool WinIcon::parseExeIcon()
{
    m_info.clear();
    if (m_exe.isEmpty()) {
        m_error = QStringLiteral("no program loaded");
        return false;
    }
    if (!m_resources.read(m_exe)) {
        m_error = m_resources.errorString();
        return false;
    }
    const QString folder = iconFolder();
    if (!QDir().mkpath(folder)) {
        m_error = QStringLiteral("cannot make %1").arg(folder);
        return false;
    }
    const QString base = QFileInfo(m_exePath).completeBaseName();
    for (const ExeIconResources::Icon &icon : m_resources.icons()) {
        IcoFile::Picture picture;
        picture.width = icon.width;
        picture.height = icon.height;
        picture.bitCount = icon.bitCount;
        picture.data = icon.data;
        const QByteArray ico = IcoFile::encode({picture});
        const QString path = QStringLiteral("%1/%2-%3-%4x%5.ico")
                                 .arg(folder, base)
                                 .arg(icon.id)
                                 .arg(icon.width)
                                 .arg(icon.height);
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(ico) != ico.size() || !file.commit()) {
            m_error = QStringLiteral("cannot write %1").arg(path);
            m_info.clear();
            return false;
        }
        m_info << QVariantMap{{QStringLiteral("fileName"), path},
                              {QStringLiteral("fileSize"), qlonglong(ico.size())},
                              {QStringLiteral("width"), icon.width},
                              {QStringLiteral("height"), icon.height}};
    }
    return true;
}
