#include "output/narration/BookNarrationWriter.h"

#include "foundation/AppLog.h"
#include "foundation/SafeFiles.h"
#include "output/narration/AssistantItem.h"
#include "output/web/BookDataScript.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QSaveFile>

namespace {

bool writeScript(const QString &path, const QJsonObject &value, QString *error)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    const QByteArray data = BookDataScript::statement(QStringLiteral("bookNarration"), value).toUtf8();
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
    if (!ok && error)
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return ok;
}

} // namespace

BookNarrationWriter::BookNarrationWriter(const GenerateAssistant &assistant) : m_assistant(assistant)
{
}

bool BookNarrationWriter::writeToBook(const QString &bookFolder)
{
    m_error.clear();
    m_soundCount = 0;
    const int totalPage = m_assistant.totalPage();
    const int spreads = totalPage > 0 ? m_assistant.spreadCount() : 0;
    const QList<AssistantResourceItem> &items = m_assistant.resourceList();

    QJsonArray desktop, phone;
    for (int i = 0; i < spreads; ++i) {
        QString sound;
        QString source = i < items.size() ? items.at(i).soundFile() : QString();
        // A sound that leads out of its folder through a link is left out of the book.
        if (!source.isEmpty() && QFileInfo(source).isFile()) {
            if (const QString problem = SafeFiles::fileProblem(source, QFileInfo(source).absolutePath());
                !problem.isEmpty()) {
                AppLog::shared().error(QStringLiteral("The narration sound of spread %1 is left out of the book: %2")
                                           .arg(i)
                                           .arg(problem));
                source.clear();
            }
        }
        if (!source.isEmpty() && QFileInfo(source).isFile()) {
            const QString name = AssistantResourceItem::resourceNameForPage(i, totalPage) + QStringLiteral(".mp3");
            sound = soundFolder() + QLatin1Char('/') + name;
            const QString target = bookFolder + QLatin1Char('/') + sound;
            QDir().mkpath(QFileInfo(target).absolutePath());
            if (!SafeFiles::copyFile(source, target, &m_error))
                return false;
            ++m_soundCount;
        }
        QJsonArray pages;
        for (int page : AssistantResourceItem::pagesOfSpread(i, totalPage))
            pages.append(page);
        desktop.append(QJsonObject{{QStringLiteral("pages"), pages}, {QStringLiteral("sound"), sound}});
        phone.append(QJsonObject{{QStringLiteral("pages"), pages},
                                 {QStringLiteral("sound"), sound.isEmpty() ? sound : QStringLiteral("../") + sound}});
    }
    if (m_soundCount == 0)
        return true;

    // The narrating character: one of the installed pictures, found by its name (a path
    // read from a project names no other file).
    QString character;
    const QList<AssistantItem> characters = AssistantItem::collectAssistantList();
    const int index = AssistantItem::indexOfCharacter(characters, m_assistant.assistantFilePath());
    if (index > 0) {
        character = soundFolder() + QStringLiteral("/character.png");
        if (!SafeFiles::copyFile(characters.at(index).bgPath, bookFolder + QLatin1Char('/') + character, &m_error))
            return false;
    }

    const AssistantSpeechItem &options = m_assistant.speechOptions();
    auto script = [&options, &character](const QJsonArray &spreadList, const QString &prefix) {
        QJsonObject value{
            {QStringLiteral("mode"), options.playMode() == AssistantSpeechItem::Manual ? 1 : 0},
            {QStringLiteral("delay"), std::max(0, options.defaultPauseTimeWhenFinished())},
            {QStringLiteral("mute"), std::max(0, options.defaultPauseTimeWhenEmpty())},
            {QStringLiteral("spreads"), spreadList}};
        if (!character.isEmpty())
            value.insert(QStringLiteral("character"), prefix + character);
        return value;
    };
    if (!writeScript(bookFolder + QLatin1Char('/') + scriptPath(), script(desktop, QString()), &m_error))
        return false;
    if (QFileInfo(bookFolder + QStringLiteral("/mobile/files")).isDir()
        && !writeScript(bookFolder + QStringLiteral("/mobile/") + scriptPath(), script(phone, QStringLiteral("../")), &m_error))
        return false;
    return true;
}
