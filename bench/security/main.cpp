// Figures of book protection: one password stretching, renewing a users list, reading
// one back, and encrypting a book's pages.
#include "foundation/Crypto.h"
#include "output/security/AccessCode.h"
#include "output/web/BookDataScript.h"
#include "output/security/BookProtector.h"
#include "output/security/BookSecurity.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QElapsedTimer timer;

    timer.start();
    const int codes = 5;
    for (int i = 0; i < codes; ++i)
        AccessCode::make("user", "password", Crypto::randomBytes(32), Crypto::randomBytes(16));
    out << "access code (" << AccessCode::kDefaultIterations << " rounds): " << timer.elapsed() / codes
        << " ms each\n";

    BookSecurity users;
    for (int i = 0; i < 50; ++i)
        users.usersList() << QVariantMap{{"user", QString("user%1").arg(i)}, {"password", "pw"}};
    timer.restart();
    users.refreshUsersList();
    const qint64 renewing = timer.elapsed();
    out << "renewing 50 users' codes: " << renewing << " ms\n";

    // The same users read back from the book (passwords unknown): each code is checked
    // once against an empty password when the list is read, then remembered.
    QVariantList read;
    for (const QVariantMap &entry : users.usersList())
        read << QVariantMap{{"user", entry.value("user")}, {"password", "\t"}, {"encode", entry.value("encode")}};
    timer.restart();
    const int kept = int(BookSecurity::validEntries(read).size());
    out << "reading 50 users whose passwords are unknown: " << timer.elapsed() << " ms (renewing: " << renewing
        << " ms), " << kept << " kept\n";
    timer.restart();
    BookSecurity::validEntries(read);
    out << "reading them again: " << timer.elapsed() << " ms\n";

    QTemporaryDir dir;
    const int pages = 100;
    const QByteArray picture = Crypto::randomBytes(200 * 1024);
    QJsonArray records;
    for (int n = 1; n <= pages; ++n) {
        QJsonObject record;
        for (const char *kind : {"page", "large", "thumb"}) {
            const QString rel = QString("files/%1/%2.jpg").arg(kind).arg(n);
            QDir().mkpath(QFileInfo(dir.filePath(rel)).absolutePath());
            QFile f(dir.filePath(rel));
            f.open(QIODevice::WriteOnly);
            f.write(picture);
            record.insert(kind == QByteArray("page") ? "normal" : kind, rel);
        }
        records.append(record);
    }
    QFile config(dir.filePath("files/config.js"));
    config.open(QIODevice::WriteOnly);
    config.write(BookDataScript::statement("bookConfig", QJsonObject{{"pages", records}}).toUtf8());
    config.close();

    BookSecurity single;
    single.setSecurityType(BookSecurity::SinglePassword);
    single.setPassword("password");
    BookProtector protector(single, pages);
    timer.restart();
    const bool ok = protector.protectBook(dir.path());
    out << "protecting " << pages << " pages (3 x 200 KiB pictures each): " << timer.elapsed() << " ms"
        << (ok ? "" : " FAILED") << "\n";
    return ok ? 0 : 1;
}
