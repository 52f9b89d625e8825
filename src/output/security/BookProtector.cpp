#include "output/security/BookProtector.h"

#include "foundation/Crypto.h"
#include "foundation/DataEncoding.h"
#include "foundation/InputLimits.h"
#include "output/security/AccessCode.h"
#include "output/web/BookDataScript.h"
#include "output/web/ViewerConfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

QString mimeTypeOf(const QString &path)
{
    static const QHash<QString, QString> types = {
        {QStringLiteral("jpg"), QStringLiteral("image/jpeg")},   {QStringLiteral("jpeg"), QStringLiteral("image/jpeg")},
        {QStringLiteral("png"), QStringLiteral("image/png")},    {QStringLiteral("gif"), QStringLiteral("image/gif")},
        {QStringLiteral("webp"), QStringLiteral("image/webp")},  {QStringLiteral("svg"), QStringLiteral("image/svg+xml")},
        {QStringLiteral("pdf"), QStringLiteral("application/pdf")},
        {QStringLiteral("swf"), QStringLiteral("application/x-shockwave-flash")},
    };
    return types.value(QFileInfo(path).suffix().toLower(), QStringLiteral("application/octet-stream"));
}

// The engine's folders of the three page pictures.
const std::pair<QString, QString> kConventionalFolders[] = {
    {QStringLiteral("normal"), QStringLiteral("page")},
    {QStringLiteral("large"), QStringLiteral("large")},
    {QStringLiteral("thumb"), QStringLiteral("thumb")},
};

bool writeText(const QString &path, const QByteArray &data, QString *error)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
    if (!ok && error)
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return ok;
}

} // namespace

BookProtector::BookProtector(BookSecurity &security, int pageCount) : m_security(security), m_pageCount(pageCount)
{
}

QString BookProtector::payloadPath(const QString &id)
{
    return QStringLiteral("files/secure/") + id + QStringLiteral(".js");
}

bool BookProtector::fail(const QString &message)
{
    m_error = message;
    return false;
}

bool BookProtector::prepareAccess()
{
    if (m_security.securityType() == BookSecurity::SinglePassword) {
        if (m_security.password().isEmpty())
            return fail(QStringLiteral("The book has no password."));
        m_key = m_security.contentKey();
        if (m_key.isEmpty())
            return fail(QStringLiteral("The book has no usable content key."));
        // The single password is the code of one reader without a name.
        const auto code = AccessCode::make(QString(), m_security.password(), m_key,
                                           Crypto::randomBytes(AccessCode::kSaltLength));
        if (!code)
            return fail(QStringLiteral("The password could not be encoded."));
        m_access = {{QStringLiteral("kind"), QStringLiteral("password")},
                    {QStringLiteral("password"), code->toString()}};
        return true;
    }
    if (m_security.usersList().isEmpty())
        return fail(QStringLiteral("The book's users list is empty."));
    m_security.refreshUsersList();
    m_key = m_security.contentKey();
    if (m_key.isEmpty())
        return fail(QStringLiteral("The book has no usable content key."));
    QJsonArray users;
    for (const BookSecurity::Access &access : m_security.accessList())
        users.append(QJsonObject{{QStringLiteral("user"), access.user}, {QStringLiteral("code"), access.code}});
    if (users.isEmpty())
        return fail(QStringLiteral("No user of the list can open the book."));
    m_access = {{QStringLiteral("kind"), QStringLiteral("users")}, {QStringLiteral("users"), users}};
    return true;
}

bool BookProtector::protectBook(const QString &bookFolder)
{
    m_error.clear();
    m_protectedPages.clear();
    m_clearFiles.clear();
    m_keptFiles.clear();
    m_annotationsPayload.clear();
    m_payloadOf.clear();
    m_textPayloadOf.clear();
    const int type = m_security.securityType();
    if (type == BookSecurity::NoSecurity)
        return true;
    if (type != BookSecurity::SinglePassword && type != BookSecurity::UserList)
        return fail(QStringLiteral("Unknown security type %1.").arg(type));
    if (!prepareAccess())
        return false;

    const QString book = QDir::cleanPath(QDir(bookFolder).absolutePath());
    QList<Version> versions{{book, usersFilePath()}};
    if (QFileInfo::exists(book + QStringLiteral("/mobile/files/config.js")))
        versions << Version{book + QStringLiteral("/mobile"), QStringLiteral("../") + usersFilePath()};
    m_bookFolder = book;
    if (!protectAnnotations())
        return false;
    for (const Version &version : versions)
        if (!protectVersion(version))
            return false;

    if (type == BookSecurity::UserList
        && !writeText(book + QLatin1Char('/') + usersFilePath(), m_security.usersListFileData(), &m_error))
        return false;

    // Everything is written: only now do the clear files go.
    for (const QString &path : std::as_const(m_clearFiles))
        if (!m_keptFiles.contains(path) && QFileInfo::exists(path) && !QFile::remove(path))
            return fail(QStringLiteral("cannot remove %1").arg(path));
    return true;
}

QString BookProtector::localFile(const QString &home, const QString &url) const
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    if (url.isEmpty() || url.startsWith(QLatin1Char('/')) || scheme.match(url).hasMatch())
        return QString();
    static const QRegularExpression suffix(QStringLiteral("[?#].*$"));
    QString relative = url;
    relative.remove(suffix);
    const QString path = QDir::cleanPath(home + QLatin1Char('/') + QUrl::fromPercentEncoding(relative.toUtf8()));
    // Only files of this book are taken (the phone version may name desktop files).
    if (!path.startsWith(m_bookFolder + QLatin1Char('/')))
        return QString();
    return path;
}

QString BookProtector::encryptFile(const QString &home, const QString &url, const QString &id, bool keepName)
{
    const QString path = localFile(home, url);
    // A download's name is encrypted with the others of its version (m_fileNames), never
    // beside its data; a version that shares the payload names it too.
    if (keepName)
        m_fileNames.insert(id, QFileInfo(path).fileName());
    // Encrypted once already (the desktop book's picture the phone shows too): named
    // where it is, from this home page. Its id is in its name, as the viewer reads it.
    const QString known = m_payloadOf.value(path + (keepName ? QStringLiteral("\n") : QString()));
    if (!path.isEmpty() && !known.isEmpty())
        return QDir(home).relativeFilePath(known);
    QFile file(path);
    if (path.isEmpty() || !QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("The book's file \"%1\" is missing or cannot be read.").arg(url));
        return QString();
    }
    const QJsonObject fields{{QStringLiteral("type"), mimeTypeOf(path)}};
    if (!writePayload(home, id, fields, file.readAll()))
        return QString();
    m_clearFiles.insert(path);
    m_payloadOf.insert(path + (keepName ? QStringLiteral("\n") : QString()), home + QLatin1Char('/') + payloadPath(id));
    return payloadPath(id);
}

bool BookProtector::writePayload(const QString &home, const QString &id, const QJsonObject &clearFields,
                                 const QByteArray &data)
{
    const QByteArray nonce = Crypto::randomBytes(Crypto::kGcmNonceLength);
    if (nonce.size() != Crypto::kGcmNonceLength)
        return fail(QStringLiteral("The system gave no random numbers."));
    // The id is authenticated with the data, so payloads cannot be swapped.
    const auto sealed = Crypto::aes256GcmEncrypt(m_key, nonce, data, id.toUtf8());
    if (!sealed)
        return fail(QStringLiteral("Encryption failed."));
    QJsonObject fields = clearFields;
    fields.insert(QStringLiteral("data"), QString::fromLatin1(base64Encode(nonce + sealed->ciphertext + sealed->tag)));
    const QByteArray script = "qvSecurePayload(\"" + id.toUtf8() + "\","
        + QJsonDocument(fields).toJson(QJsonDocument::Compact) + ");\n";
    return writeText(home + QLatin1Char('/') + payloadPath(id), script, &m_error);
}

bool BookProtector::protectVersion(const Version &version)
{
    const QString home = version.home;
    m_fileNames = {};
    const QString configPath = home + QStringLiteral("/files/config.js");
    auto config = BookDataScript::read(configPath, QStringLiteral("bookConfig"), &m_error);
    if (!config)
        return false;
    QJsonObject bookConfig = config->value().toObject();
    QJsonArray pages = ViewerConfig::pageRecords(bookConfig.value(QStringLiteral("pages")));

    // A configuration with more pages than the engine said is protected in full.
    const QList<int> protectedList = m_security.protectedPages(std::max<int>(m_pageCount, int(pages.size())));
    const QSet<int> isProtected(protectedList.cbegin(), protectedList.cend());
    static const QRegularExpression fieldName(QStringLiteral("^[A-Za-z][A-Za-z0-9_]*$"));

    for (int n = 1; n <= pages.size(); ++n) {
        QJsonObject record = pages.at(n - 1).isString()
            ? QJsonObject{{QStringLiteral("normal"), pages.at(n - 1).toString()}}
            : pages.at(n - 1).toObject();
        if (!isProtected.contains(n)) {
            for (auto it = record.constBegin(); it != record.constEnd(); ++it)
                if (const QString path = localFile(home, it.value().toString()); !path.isEmpty())
                    m_keptFiles.insert(path);
            continue;
        }
        // Pictures in the conventional folders that the record does not name would
        // otherwise stay readable beside the encrypted ones: they join the record.
        // Ones the record replaces by other files are removed with the rest.
        for (const auto &[kind, folder] : kConventionalFolders) {
            for (const char *extension : {"jpg", "jpeg", "png", "webp"}) {
                const QString url = QStringLiteral("files/%1/%2.%3").arg(folder).arg(n).arg(extension);
                if (!QFileInfo(home + QLatin1Char('/') + url).isFile())
                    continue;
                if (record.value(kind).toString().isEmpty())
                    record.insert(kind, url);
                else
                    m_clearFiles.insert(localFile(home, url));
            }
        }
        for (const QString &key : record.keys()) {
            const QString url = record.value(key).toString();
            if (url.isEmpty() || !fieldName.match(key).hasMatch() || localFile(home, url).isEmpty())
                continue;
            const QString payload = encryptFile(home, url, key + QLatin1Char('/') + QString::number(n), false);
            if (payload.isEmpty())
                return false;
            record.insert(key, payload);
        }
        record.insert(QStringLiteral("secure"), true);
        pages.replace(n - 1, record);
    }
    bookConfig.insert(QStringLiteral("pages"), pages);

    // Search text of the protected pages moves into one encrypted payload. The search
    // data is where the configuration says (the phone version may read the desktop
    // book's), all in search.js or in parts it names.
    QString textPayload;
    const QString dataFolder = bookConfig.value(QStringLiteral("dataFolder")).toString();
    const QString searchPath = dataFolder.isEmpty() ? home + QStringLiteral("/files/search.js")
                                                    : localFile(home, dataFolder + QStringLiteral("search.js"));
    std::optional<BookDataScript> search;
    QList<std::pair<QString, BookDataScript>> searchParts;
    if (m_textPayloadOf.contains(searchPath)) {
        const QString payload = m_textPayloadOf.value(searchPath);
        textPayload = payload.isEmpty() ? QString() : QDir(home).relativeFilePath(payload);
    } else if (!searchPath.isEmpty() && QFileInfo::exists(searchPath)) {
        search = BookDataScript::read(searchPath, QStringLiteral("bookSearch"), &m_error);
        if (!search)
            return false;
        QJsonObject hidden;
        const auto hide = [&](QJsonArray &texts, int first) {
            for (int n : protectedList) {
                const int i = n - first;
                if (i < 0 || i >= texts.size())
                    continue;
                hidden.insert(QString::number(n), texts.at(i).toString());
                texts.replace(i, QString());
            }
        };
        if (search->value().isObject()) {
            for (const QJsonValue &entry : search->value().toObject().value(QStringLiteral("parts")).toArray()) {
                const QString partPath = localFile(QFileInfo(searchPath).absolutePath(),
                                                   entry.toObject().value(QStringLiteral("file")).toString());
                std::optional<BookDataScript> part =
                    partPath.isEmpty() ? std::nullopt : BookDataScript::read(partPath, QStringLiteral("bookSearchPart"), &m_error);
                if (!part)
                    return fail(QStringLiteral("The book's search data cannot be read."));
                QJsonObject value = part->value().toObject();
                QJsonArray texts = value.value(QStringLiteral("texts")).toArray();
                hide(texts, value.value(QStringLiteral("first")).toInt(1));
                value.insert(QStringLiteral("texts"), texts);
                part->setValue(value);
                searchParts.append({partPath, *part});
            }
        } else {
            QJsonArray texts = search->value().toArray();
            hide(texts, 1);
            search->setValue(texts);
        }
        if (!hidden.isEmpty()) {
            if (!writePayload(home, QStringLiteral("text"), {{QStringLiteral("type"), QStringLiteral("application/json")}},
                              QJsonDocument(hidden).toJson(QJsonDocument::Compact)))
                return false;
            textPayload = payloadPath(QStringLiteral("text"));
        }
        m_textPayloadOf.insert(searchPath, textPayload.isEmpty() ? QString() : home + QLatin1Char('/') + textPayload);
    }

    // Downloads of protected pages, and the whole document when it holds any.
    if (bookConfig.value(QStringLiteral("download")).isObject() && !protectedList.isEmpty()) {
        QJsonObject download = bookConfig.value(QStringLiteral("download")).toObject();
        QJsonArray pageFiles = download.value(QStringLiteral("pageFiles")).toArray();
        for (int n : protectedList) {
            if (n > pageFiles.size())
                break;
            const QString url = pageFiles.at(n - 1).toString();
            if (localFile(home, url).isEmpty())
                continue;
            const QString payload = encryptFile(home, url, QStringLiteral("download/%1").arg(n), true);
            if (payload.isEmpty())
                return false;
            pageFiles.replace(n - 1, payload);
        }
        download.insert(QStringLiteral("pageFiles"), pageFiles);
        const QString whole = download.value(QStringLiteral("wholeFile")).toString();
        if (!localFile(home, whole).isEmpty()) {
            const QString payload = encryptFile(home, whole, QStringLiteral("download/whole"), true);
            if (payload.isEmpty())
                return false;
            download.insert(QStringLiteral("wholeFile"), payload);
        }
        if (!protectAttachments(home, download))
            return false;
        bookConfig.insert(QStringLiteral("download"), download);
    }
    if (!protectNarration(home, isProtected))
        return false;

    QJsonObject access = m_access;
    access.insert(QStringLiteral("version"), 1);
    access.insert(QStringLiteral("pageCount"), int(pages.size()));
    QJsonArray protectedJson;
    for (int n : protectedList)
        if (n <= pages.size())
            protectedJson.append(n);
    access.insert(QStringLiteral("protectedPages"), protectedJson);
    access.insert(QStringLiteral("text"), textPayload);
    if (!m_fileNames.isEmpty()) {
        if (!writePayload(home, QStringLiteral("names"), {{QStringLiteral("type"), QStringLiteral("application/json")}},
                          QJsonDocument(m_fileNames).toJson(QJsonDocument::Compact)))
            return false;
        access.insert(QStringLiteral("names"), payloadPath(QStringLiteral("names")));
    }
    if (!m_annotationsPayload.isEmpty())
        access.insert(QStringLiteral("annotations"), QDir(home).relativeFilePath(m_bookFolder + QLatin1Char('/') + m_annotationsPayload));
    if (m_security.securityType() == BookSecurity::UserList)
        access.insert(QStringLiteral("usersFile"), version.usersFile);
    if (!writeText(home + QLatin1Char('/') + securityScriptPath(),
                   BookDataScript::statement(QStringLiteral("bookSecurity"), access).toUtf8(), &m_error))
        return false;

    config->setValue(bookConfig);
    if (!config->write(configPath, &m_error) || (search && !search->write(searchPath, &m_error)))
        return false;
    for (const auto &[path, part] : std::as_const(searchParts))
        if (!part.write(path, &m_error))
            return false;
    if (home == m_bookFolder)
        for (const QJsonValue &n : std::as_const(protectedJson))
            m_protectedPages << n.toInt();
    return true;
}

QString BookProtector::encryptShared(const QString &home, const QString &url, const QString &id, const QString &type)
{
    const QString path = localFile(home, url);
    // The phone version names the payload the desktop book made of the same file.
    const QString key = path + QLatin1Char('\n') + type;
    if (const QString known = m_payloadOf.value(key); !path.isEmpty() && !known.isEmpty())
        return QDir(home).relativeFilePath(known);
    const auto data = path.isEmpty() || !QFileInfo(path).isFile() ? std::nullopt
                                                                   : InputLimits::readFile(path, kMaxSharedFileBytes);
    if (!data) {
        fail(QStringLiteral("The book's file \"%1\" is missing or cannot be read.").arg(url));
        return QString();
    }
    if (!writePayload(home, id, {{QStringLiteral("type"), type}}, *data))
        return QString();
    m_clearFiles.insert(path);
    const QString payload = payloadPath(id);
    m_payloadOf.insert(key, home + QLatin1Char('/') + payload);
    return payload;
}

bool BookProtector::protectAttachments(const QString &home, QJsonObject &download)
{
    QJsonArray attachments = download.value(QStringLiteral("attachments")).toArray();
    for (int i = 0; i < attachments.size(); ++i) {
        QJsonObject attachment = attachments.at(i).toObject();
        const QString url = attachment.value(QStringLiteral("file")).toString();
        if (localFile(home, url).isEmpty())
            continue; // a web address names nothing of the book
        const QString id = QStringLiteral("attachment/%1").arg(i + 1);
        // Neither its type nor its name tells what it is.
        const QString payload = encryptShared(home, url, id, QStringLiteral("application/octet-stream"));
        if (payload.isEmpty())
            return false;
        m_fileNames.insert(id, attachment.value(QStringLiteral("name")).toString());
        attachment.insert(QStringLiteral("file"), payload);
        attachment.insert(QStringLiteral("name"), QString());
        attachments.replace(i, attachment);
    }
    download.insert(QStringLiteral("attachments"), attachments);
    return true;
}

bool BookProtector::protectNarration(const QString &home, const QSet<int> &isProtected)
{
    const QString path = home + QStringLiteral("/files/narration.js");
    if (!QFileInfo::exists(path))
        return true;
    auto script = BookDataScript::read(path, QStringLiteral("bookNarration"), &m_error);
    if (!script)
        return false;
    QJsonObject narration = script->value().toObject();
    QJsonArray spreads = narration.value(QStringLiteral("spreads")).toArray();
    bool changed = false;
    for (int i = 0; i < spreads.size(); ++i) {
        QJsonObject spread = spreads.at(i).toObject();
        const QString sound = spread.value(QStringLiteral("sound")).toString();
        // Spread 0 is page 1, spread i pages 2i and 2i + 1: a sound tells of every page of its spread.
        const bool hidden = i == 0 ? isProtected.contains(1) : isProtected.contains(2 * i) || isProtected.contains(2 * i + 1);
        if (!hidden || localFile(home, sound).isEmpty())
            continue;
        const QString payload = encryptShared(home, sound, QStringLiteral("sound/%1").arg(i), QStringLiteral("audio/mpeg"));
        if (payload.isEmpty())
            return false;
        spread.insert(QStringLiteral("sound"), payload);
        spreads.replace(i, spread);
        changed = true;
    }
    if (!changed)
        return true;
    narration.insert(QStringLiteral("spreads"), spreads);
    script->setValue(narration);
    return script->write(path, &m_error);
}

bool BookProtector::protectAnnotations()
{
    const QString path = m_bookFolder + QStringLiteral("/files/book.xml");
    if (!QFileInfo::exists(path))
        return true;
    const auto data = InputLimits::readFile(path, InputLimits::kMaxXmlBytes, &m_error);
    if (!data)
        return false;
    const int except = m_security.exceptPageCount();

    // The document is copied token by token; the content of a protected page's element
    // of <pagesAnnotations> goes into the payload instead.
    QXmlStreamReader reader(*data);
    QByteArray out;
    QXmlStreamWriter writer(&out);
    QJsonObject hidden;
    QStringList open;  // names of the elements around the token
    int page = 0;      // pages of <pagesAnnotations> seen
    int capturing = 0; // depth of the protected page's element while its content is taken
    QString content;
    std::unique_ptr<QXmlStreamWriter> captured;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.tokenType() == QXmlStreamReader::StartElement) {
            if (open.size() >= InputLimits::kMaxXmlNesting)
                return fail(QStringLiteral("The book's files/book.xml is %1.").arg(InputLimits::nestedTooDeep()));
            open << reader.name().toString();
            if (!capturing && open.size() == 3 && open.at(1) == QLatin1String("pagesAnnotations")
                && open.at(2) == QLatin1String("page") && ++page > except) {
                writer.writeCurrentToken(reader);
                capturing = int(open.size());
                content.clear();
                captured = std::make_unique<QXmlStreamWriter>(&content);
                continue;
            }
        } else if (reader.tokenType() == QXmlStreamReader::EndElement) {
            const bool pageEnds = capturing && int(open.size()) == capturing;
            if (!open.isEmpty())
                open.removeLast();
            if (pageEnds) {
                captured.reset();
                if (!content.trimmed().isEmpty())
                    hidden.insert(QString::number(page), content);
                capturing = 0;
            }
        }
        if (reader.tokenType() == QXmlStreamReader::Invalid)
            break;
        if (capturing && captured)
            captured->writeCurrentToken(reader);
        else
            writer.writeCurrentToken(reader);
    }
    if (reader.hasError())
        return fail(QStringLiteral("The book's files/book.xml cannot be read: %1").arg(reader.errorString()));
    if (hidden.isEmpty())
        return true;
    if (!writePayload(m_bookFolder, QStringLiteral("annotations"),
                      {{QStringLiteral("type"), QStringLiteral("application/json")}},
                      QJsonDocument(hidden).toJson(QJsonDocument::Compact))
        || !writeText(path, out, &m_error))
        return false;
    m_annotationsPayload = payloadPath(QStringLiteral("annotations"));
    return true;
}
