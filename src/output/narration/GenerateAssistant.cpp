#include "output/narration/GenerateAssistant.h"

#include "foundation/AppUtility.h"
#include "foundation/XmlUtility.h"
#include "foundation/ZipExtractor.h"
#include "foundation/ZipWriter.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// path relative to base when it lies inside base; unchanged otherwise.
QString storedPath(const QString &path, const QString &base)
{
    if (path.isEmpty() || base.isEmpty())
        return path;
    const QString relative = QDir(base).relativeFilePath(path);
    if (relative.startsWith(QLatin1String("..")) || QDir::isAbsolutePath(relative))
        return path;
    return relative;
}

QString resolvedPath(const QString &path, const QString &base)
{
    if (path.isEmpty() || base.isEmpty() || QDir::isAbsolutePath(path))
        return path;
    return QDir::cleanPath(QDir(base).absoluteFilePath(path));
}

int intAttribute(const QDomElement &e, const QString &name, int fallback)
{
    bool ok = false;
    const int value = e.attribute(name).toInt(&ok);
    return ok ? value : fallback;
}

} // namespace

bool GenerateAssistant::isEmpty() const
{
    return m_assistantFilePath.isEmpty()
        && std::all_of(m_resourceList.cbegin(), m_resourceList.cend(),
                       [](const AssistantResourceItem &item) { return item.isEmpty(); });
}

QString GenerateAssistant::workFolder() const
{
    return m_workFolder.isEmpty() ? AppUtility::userAppExtraDataPath(QStringLiteral("Assistant")) : m_workFolder;
}

void GenerateAssistant::fitResourceListToPages()
{
    const int count = std::max(0, spreadCount());
    while (m_resourceList.size() > count)
        m_resourceList.removeLast();
    while (m_resourceList.size() < count)
        m_resourceList.append(AssistantResourceItem());
}

QString GenerateAssistant::newFilePath(const QString &extension)
{
    const QString folder = workFolder();
    QDir().mkpath(folder);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss_zzz"));
    for (int n = 0;; ++n) {
        const QString name = n == 0 ? stamp : stamp + QLatin1Char('_') + QString::number(n);
        const QString path = folder + QLatin1Char('/') + name + QLatin1Char('.') + extension;
        if (!m_handedOut.contains(path) && !QFileInfo::exists(path)) {
            m_handedOut.insert(path);
            return path;
        }
    }
}

QString GenerateAssistant::newLrcFilePath()
{
    return newFilePath(QStringLiteral("lrc"));
}

QString GenerateAssistant::newMp3FilePath()
{
    return newFilePath(QStringLiteral("mp3"));
}

QString GenerateAssistant::configFilePath() const
{
    return workFolder() + QStringLiteral("/Config.xml");
}

QString GenerateAssistant::packageFilePath() const
{
    return workFolder() + QStringLiteral("/Assistant.zip");
}

QDomElement GenerateAssistant::toXmlElement(QDomDocument &document, const QString &baseFolder) const
{
    QDomElement root = document.createElement(QStringLiteral("Assistant"));
    root.setAttribute(QStringLiteral("totalPage"), QString::number(m_totalPage));
    root.setAttribute(QStringLiteral("character"), storedPath(m_assistantFilePath, baseFolder));
    QDomElement options = document.createElement(QStringLiteral("SpeechOptions"));
    options.setAttribute(QStringLiteral("mode"), QString::number(m_speechOptions.playMode()));
    options.setAttribute(QStringLiteral("delay"), QString::number(m_speechOptions.defaultPauseTimeWhenFinished()));
    options.setAttribute(QStringLiteral("mute"), QString::number(m_speechOptions.defaultPauseTimeWhenEmpty()));
    root.appendChild(options);
    for (int i = 0; i < m_resourceList.size(); ++i) {
        const AssistantResourceItem &item = m_resourceList.at(i);
        QDomElement e = document.createElement(QStringLiteral("Resource"));
        e.setAttribute(QStringLiteral("name"), AssistantResourceItem::resourceNameForPage(i, m_totalPage));
        e.setAttribute(QStringLiteral("type"), QString::number(item.type()));
        e.setAttribute(QStringLiteral("lrcFile"), storedPath(item.lrcFile(), baseFolder));
        e.setAttribute(QStringLiteral("mp3File"), storedPath(item.mp3File(), baseFolder));
        e.setAttribute(QStringLiteral("importmp3File"), storedPath(item.importmp3File(), baseFolder));
        root.appendChild(e);
    }
    return root;
}

GenerateAssistant GenerateAssistant::fromXmlElement(const QDomElement &element, const QString &baseFolder)
{
    GenerateAssistant assistant;
    if (element.isNull())
        return assistant;
    assistant.m_totalPage = std::max(0, intAttribute(element, QStringLiteral("totalPage"), 0));
    assistant.m_assistantFilePath = resolvedPath(element.attribute(QStringLiteral("character")), baseFolder);
    const QDomElement options = element.firstChildElement(QStringLiteral("SpeechOptions"));
    AssistantSpeechItem &o = assistant.m_speechOptions;
    o.setPlayMode(intAttribute(options, QStringLiteral("mode"), o.playMode()));
    o.setDefaultPauseTimeWhenFinished(intAttribute(options, QStringLiteral("delay"), o.defaultPauseTimeWhenFinished()));
    o.setDefaultPauseTimeWhenEmpty(intAttribute(options, QStringLiteral("mute"), o.defaultPauseTimeWhenEmpty()));
    for (QDomElement e = element.firstChildElement(QStringLiteral("Resource")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("Resource"))) {
        AssistantResourceItem item;
        item.setType(intAttribute(e, QStringLiteral("type"), 0) == AssistantResourceItem::ImportedMp3
                         ? AssistantResourceItem::ImportedMp3
                         : AssistantResourceItem::TextToSpeech);
        item.setLrcFile(resolvedPath(e.attribute(QStringLiteral("lrcFile")), baseFolder));
        item.setMp3File(resolvedPath(e.attribute(QStringLiteral("mp3File")), baseFolder));
        item.setImportmp3File(resolvedPath(e.attribute(QStringLiteral("importmp3File")), baseFolder));
        assistant.m_resourceList << item;
    }
    return assistant;
}

bool GenerateAssistant::saveAssistantConfig(QString *error) const
{
    auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    const QString folder = workFolder();
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("cannot create %1").arg(folder));

    QDomDocument config;
    config.appendChild(config.createProcessingInstruction(QStringLiteral("xml"),
                                                          QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")));
    config.appendChild(toXmlElement(config, folder));
    QSaveFile file(configFilePath());
    if (!file.open(QIODevice::WriteOnly) || file.write(config.toByteArray(2)) < 0 || !file.commit())
        return fail(file.errorString());

    return writePackage(packageFilePath(), error);
}

bool GenerateAssistant::writePackage(const QString &path, QString *error) const
{
    auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    // The package names every file after its spread, so it does not depend on the
    // work folder's time-stamped names.
    GenerateAssistant packed(*this);
    ZipWriter zip(path);
    for (int i = 0; i < packed.m_resourceList.size(); ++i) {
        AssistantResourceItem &item = packed.m_resourceList[i];
        const QString name = AssistantResourceItem::resourceNameForPage(i, m_totalPage);
        auto pack = [&zip](const QString &file, const QString &entry) -> QString {
            if (file.isEmpty() || !QFileInfo(file).isFile())
                return QString();
            return zip.addFile(entry, file) ? entry : QString();
        };
        item.setLrcFile(pack(item.lrcFile(), QStringLiteral("texts/%1.lrc").arg(name)));
        item.setMp3File(pack(item.mp3File(), QStringLiteral("sounds/%1.mp3").arg(name)));
        item.setImportmp3File(pack(item.importmp3File(), QStringLiteral("imports/%1.mp3").arg(name)));
    }
    packed.m_assistantFilePath = QFileInfo(m_assistantFilePath).fileName();
    QDomDocument inner;
    inner.appendChild(inner.createProcessingInstruction(QStringLiteral("xml"),
                                                        QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")));
    inner.appendChild(packed.toXmlElement(inner));
    if (!zip.addData(QStringLiteral("Config.xml"), inner.toByteArray(2)) || !zip.commit())
        return fail(zip.errorString());
    return true;
}

std::optional<GenerateAssistant> GenerateAssistant::readPackage(const QString &path, const QString &folder,
                                                                QString *error)
{
    auto fail = [error](const QString &message) -> std::optional<GenerateAssistant> {
        if (error)
            *error = message;
        return std::nullopt;
    };
    const QFileInfo package(path);
    if (!package.isFile())
        return fail(QStringLiteral("%1 does not exist").arg(QDir::toNativeSeparators(path)));
    if (package.size() > kMaximumPackageSize)
        return fail(QStringLiteral("%1 is too large to be an assistant").arg(QDir::toNativeSeparators(path)));
    ZipExtractor extractor;
    if (!extractor.extractFile(path, folder))
        return fail(extractor.errorString());
    QFile config(folder + QStringLiteral("/Config.xml"));
    constexpr qint64 kMaximumConfigSize = 4 << 20;
    if (!config.open(QIODevice::ReadOnly) || config.size() > kMaximumConfigSize)
        return fail(QStringLiteral("%1 holds no assistant").arg(QDir::toNativeSeparators(path)));
    QDomDocument document;
    if (!parseXmlDocument(document, config.readAll()) || document.documentElement().tagName() != QLatin1String("Assistant"))
        return fail(QStringLiteral("%1 holds no assistant").arg(QDir::toNativeSeparators(path)));
    GenerateAssistant assistant = fromXmlElement(document.documentElement(), folder);
    const QString root = QDir::cleanPath(QFileInfo(folder).absoluteFilePath()) + QLatin1Char('/');
    const auto inside = [&root](const QString &file) {
        const QString clean = QDir::cleanPath(file);
        return !file.isEmpty() && clean.startsWith(root) && QFileInfo(clean).isFile() ? clean : QString();
    };
    for (AssistantResourceItem &item : assistant.m_resourceList) {
        item.setLrcFile(inside(item.lrcFile()));
        item.setMp3File(inside(item.mp3File()));
        item.setImportmp3File(inside(item.importmp3File()));
    }
    // The character is named, never taken from the package.
    assistant.m_assistantFilePath = QFileInfo(assistant.m_assistantFilePath).fileName();
    assistant.m_workFolder = folder;
    return assistant;
}
