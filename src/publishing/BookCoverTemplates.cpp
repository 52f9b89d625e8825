#include "publishing/BookCoverTemplates.h"

#include "foundation/AppUtility.h"
#include "foundation/PropertyList.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

constexpr qint64 kMaxListSize = 1 << 20;
constexpr qint64 kMaxDesignSize = 1 << 20;

QByteArray fileBytes(const QString &path, bool *ok = nullptr)
{
    QFile file(path);
    const bool opened = file.open(QIODevice::ReadOnly) && file.size() <= kMaxDesignSize;
    if (ok)
        *ok = opened;
    return opened ? file.readAll() : QByteArray();
}

} // namespace

BookCoverTemplates::BookCoverTemplates(const QString &folder)
    : m_folder(folder)
{
}

QString BookCoverTemplates::listFile() const
{
    return m_folder + QStringLiteral("/.template");
}

QStringList BookCoverTemplates::names() const
{
    QStringList names;
    for (const Entry &entry : m_entries)
        names << entry.name;
    return names;
}

std::optional<BookCoverTemplates::Entry> BookCoverTemplates::find(const QString &name) const
{
    for (const Entry &entry : m_entries)
        if (entry.name == name)
            return entry;
    return std::nullopt;
}

QString BookCoverTemplates::filePath(const Entry &entry) const
{
    return m_folder + QLatin1Char('/') + safeFileName(entry.fileName);
}

QString BookCoverTemplates::safeFileName(const QString &stored)
{
    QString name = stored;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    name = name.section(QLatin1Char('/'), -1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")
        || name == QLatin1String(".template"))
        return {};
    return name;
}

void BookCoverTemplates::load()
{
    m_entries.clear();
    const QFileInfo info(listFile());
    if (!info.isFile() || info.size() > kMaxListSize)
        return;
    const std::optional<QVariant> value = PropertyList::readFile(listFile());
    if (!value || value->typeId() != QMetaType::QVariantList)
        return;
    for (const QVariant &item : value->toList()) {
        const QVariantMap map = item.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            const QString file = safeFileName(it.value().toString());
            if (!it.key().isEmpty() && !file.isEmpty() && !find(it.key()))
                m_entries << Entry{it.key(), file};
        }
    }
}

bool BookCoverTemplates::save() const
{
    QVariantList list;
    for (const Entry &entry : m_entries)
        list << QVariantMap{{entry.name, entry.fileName}};
    QDir().mkpath(m_folder);
    return PropertyList::writeFile(listFile(), list);
}

bool BookCoverTemplates::isSameDesign(const QString &name, const QString &configFile) const
{
    const std::optional<Entry> entry = find(name);
    if (!entry)
        return false;
    bool readTemplate = false, readConfig = false;
    const QByteArray stored = fileBytes(filePath(*entry), &readTemplate);
    const QByteArray current = fileBytes(configFile, &readConfig);
    return readTemplate && readConfig
        && AppUtility::MD5StringOfData(stored) == AppUtility::MD5StringOfData(current);
}

bool BookCoverTemplates::store(const QString &name, const QString &configFile, QString *error)
{
    bool read = false;
    const QByteArray design = fileBytes(configFile, &read);
    if (!read) {
        if (error)
            *error = QStringLiteral("%1 cannot be read").arg(configFile);
        return false;
    }
    const std::optional<Entry> old = find(name);
    QString fileName = old ? safeFileName(old->fileName) : QString();
    if (fileName.isEmpty()) {
        double seconds = QDateTime::currentMSecsSinceEpoch() / 1000.0;
        do {
            fileName = QString::number(seconds, 'f', 6);
            seconds += 0.000001;
        } while (QFileInfo::exists(m_folder + QLatin1Char('/') + fileName));
    }
    QDir().mkpath(m_folder);
    QSaveFile file(m_folder + QLatin1Char('/') + fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(design) != design.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QList<Entry> before = m_entries;
    m_entries.removeIf([&](const Entry &e) { return e.name == name; });
    m_entries.prepend(Entry{name, fileName});
    if (!save()) {
        m_entries = before;
        if (error)
            *error = QStringLiteral("%1 cannot be written").arg(listFile());
        return false;
    }
    return true;
}

bool BookCoverTemplates::remove(const QString &name)
{
    const std::optional<Entry> entry = find(name);
    if (!entry)
        return false;
    const QString file = safeFileName(entry->fileName);
    if (!file.isEmpty() && QFileInfo(filePath(*entry)).isFile())
        QFile::remove(filePath(*entry));
    m_entries.removeIf([&](const Entry &e) { return e.name == name; });
    return save();
}
