// ZuziDOR: draws one book page into a JPEG picture of an exact size, for the phone
// version of a book. The publishing windows start it once per page with one argument:
//
//     ZuziDOR "i=<page file>|o=<JPEG file>|w=<width>|h=<height>"
//
// ("|" and "=" inside the paths written ":7C:" and ":3D:"). The page, a picture or a
// PDF file (its first page), is fitted into width by height keeping its proportions,
// centred, and the rest filled white. The JPEG is written atomically.
//
// Exit status: 0 written; 1 bad command line; 2 page kind that cannot be drawn (SWF
// movies among them: no player exists here); 3 unreadable page; 4 bad size; 5 the
// picture could not be written.

#include "foundation/AuxArgumentString.h"
#include "foundation/NumberText.h"
#include "publishing/PageSnapshot.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

int fail(int code, const QString &message)
{
    QTextStream(stderr) << "ZuziDOR: " << message << Qt::endl;
    return code;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2)
        return fail(1, QStringLiteral("usage: ZuziDOR \"i=<page>|o=<jpeg>|w=<width>|h=<height>\""));

    const AuxArgumentString items = AuxArgumentString::parse(args.at(1));
    const QString input = items.value(QStringLiteral("i"));
    const QString output = items.value(QStringLiteral("o"));
    const QString widthText = items.value(QStringLiteral("w"));
    const QString heightText = items.value(QStringLiteral("h"));
    if (input.isEmpty() || output.isEmpty() || widthText.isEmpty() || heightText.isEmpty())
        return fail(1, QStringLiteral("the items i, o, w and h are all needed"));

    const QSize size(NumberText::intValue(widthText), NumberText::intValue(heightText));
    switch (PageSnapshot::renderToFile(input, output, size)) {
    case PageSnapshot::Status::Written:
        return 0;
    case PageSnapshot::Status::UnsupportedKind:
        return fail(2, QStringLiteral("cannot draw pages of this kind: %1").arg(input));
    case PageSnapshot::Status::Unreadable:
        return fail(3, QStringLiteral("cannot read %1").arg(input));
    case PageSnapshot::Status::BadSize:
        return fail(4, QStringLiteral("the size must be 1 to %1 pixels a side").arg(PageSnapshot::kMaxSide));
    case PageSnapshot::Status::WriteFailed:
        return fail(5, QStringLiteral("cannot write %1").arg(output));
    }
    return fail(5, QStringLiteral("cannot write %1").arg(output));
}
