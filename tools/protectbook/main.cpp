// Protects a written web book with a password or a users list, as publishing does:
//
//   quorvel-protect-book --book FOLDER --pages N --password P [--except K]
//   quorvel-protect-book --book FOLDER --pages N --user NAME=PASSWORD ... [--except K]
//
// --except K leaves the first K pages readable.
#include "output/security/BookProtector.h"
#include "output/security/BookSecurity.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quorvel"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Encrypts the protected pages of a written web book."));
    parser.addHelpOption();
    const QCommandLineOption book(QStringLiteral("book"), QStringLiteral("The book folder."), QStringLiteral("folder"));
    const QCommandLineOption pages(QStringLiteral("pages"), QStringLiteral("The page count."), QStringLiteral("n"));
    const QCommandLineOption password(QStringLiteral("password"), QStringLiteral("One password for the book."),
                                      QStringLiteral("password"));
    const QCommandLineOption user(QStringLiteral("user"), QStringLiteral("A user of the book (repeatable)."),
                                  QStringLiteral("name=password"));
    const QCommandLineOption except(QStringLiteral("except"), QStringLiteral("Front pages left readable."),
                                    QStringLiteral("k"));
    parser.addOptions({book, pages, password, user, except});
    parser.process(app);

    QTextStream err(stderr);
    bool countOk = false;
    const int pageCount = parser.value(pages).toInt(&countOk);
    if (!parser.isSet(book) || !countOk || pageCount < 1 || parser.isSet(password) == parser.isSet(user)) {
        err << "usage: quorvel-protect-book --book FOLDER --pages N (--password P | --user NAME=PASSWORD ...)"
               " [--except K]\n";
        return 2;
    }

    BookSecurity security;
    if (parser.isSet(password)) {
        security.setSecurityType(BookSecurity::SinglePassword);
        security.setPassword(parser.value(password));
    } else {
        security.setSecurityType(BookSecurity::UserList);
        for (const QString &item : parser.values(user)) {
            const qsizetype eq = item.indexOf(QLatin1Char('='));
            if (eq <= 0) {
                err << "a user is written NAME=PASSWORD: " << item << "\n";
                return 2;
            }
            security.usersList() << QVariantMap{{QStringLiteral("user"), item.left(eq)},
                                                {QStringLiteral("password"), item.mid(eq + 1)}};
        }
    }
    if (parser.isSet(except)) {
        security.setPageProtectType(1);
        security.setExceptPages(parser.value(except));
    }

    BookProtector protector(security, pageCount);
    if (!protector.protectBook(parser.value(book))) {
        err << protector.errorString() << "\n";
        return 1;
    }
    QTextStream(stdout) << "protected pages: " << protector.protectedPages().size() << "\n";
    return 0;
}
