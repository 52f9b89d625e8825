// A project file: the whole reader (pages, templates and their settings, outline,
// search text, annotations, parts), with a data folder holding a few pictures so
// that paths inside it can be followed.
#include "FuzzSupport.h"
#include "project/BookProject.h"

#include <QImage>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    static const QString file = [] {
        const QString project = FuzzSupport::scratch() + QStringLiteral("/Book.qvprj");
        QImage page(8, 10, QImage::Format_RGB32);
        page.fill(Qt::white);
        for (const char *kind : {"large", "normal", "thumb", "phone"}) {
            FuzzSupport::writeScratchFile(QStringLiteral("Book.qvprj.data/pages/%1/1.jpg").arg(QLatin1String(kind)), {});
            page.save(project + QStringLiteral(".data/pages/%1/1.jpg").arg(QLatin1String(kind)));
        }
        FuzzSupport::writeScratchFile(QStringLiteral("Book.qvprj.data/theme/bg.png"), {});
        page.save(project + QStringLiteral(".data/theme/bg.png"));
        return project;
    }();
    FuzzSupport::writeScratchFile(QStringLiteral("Book.qvprj"), FuzzSupport::bytes(data, size));
    ProjectResult result;
    const std::unique_ptr<BookDocument> document = BookProject::open(file, &result);
    return 0;
}
