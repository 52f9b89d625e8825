#include "pages/PdfDocument.h"

#include <QFileInfo>
#include <poppler-qt6.h>

namespace PdfDocument {

std::unique_ptr<Poppler::Document> open(const QString &path, const QString &password, PageResult *result)
{
    PageResult local;
    PageResult &r = result ? *result : local;
    r = PageResult::success();

    const QFileInfo info(path);
    if (!info.isFile()) {
        r = PageResult::failure(PageError::FileNotFound, PageMessages::fileNotFound(path));
        return nullptr;
    }
    std::unique_ptr<Poppler::Document> doc = Poppler::Document::load(path);
    if (!doc) {
        r = PageResult::failure(PageError::DamagedFile, PageMessages::damagedPdf(path));
        return nullptr;
    }
    if (doc->isLocked()) {
        if (password.isEmpty()) {
            r = PageResult::failure(PageError::PasswordNeeded, PageMessages::passwordNeeded(path));
            return nullptr;
        }
        // Newer PDFs take the password as UTF-8, older ones in a Latin-1-like
        // encoding; the two differ only for non-ASCII passwords.
        const QByteArray utf8 = password.toUtf8();
        const QByteArray latin1 = password.toLatin1();
        bool locked = doc->unlock(utf8, utf8);
        if (locked && latin1 != utf8)
            locked = doc->unlock(latin1, latin1);
        if (locked || doc->isLocked()) {
            r = PageResult::failure(PageError::WrongPassword, PageMessages::wrongPassword(path));
            return nullptr;
        }
    }
    if (doc->numPages() <= 0) {
        r = PageResult::failure(PageError::DamagedFile, PageMessages::damagedPdf(path));
        return nullptr;
    }
    doc->setRenderHint(Poppler::Document::Antialiasing, true);
    doc->setRenderHint(Poppler::Document::TextAntialiasing, true);
    return doc;
}

} // namespace PdfDocument
