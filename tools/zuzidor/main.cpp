// ZuziDOR: draws one book page into a JPEG picture of an exact size, for the phone
// version of a book. The publishing windows start it once per page with one argument:
//
//     ZuziDOR "i=<page file>|o=<JPEG file>|w=<width>|h=<height>"
//
// ("|" and "=" inside the paths written ":7C:" and ":3D:"). The page is fitted into
// width by height keeping its proportions, centred, and the rest filled white. An SWF
// movie is played by the SWF player in a web view that is never shown (the player is
// looked for in the resources, $QUORVEL_RESOURCES); a picture or a PDF file (its first
// page) is drawn directly. The JPEG is written atomically.
//
// Exit status: 0 written; 1 bad command line; 2 page kind that cannot be drawn; 3
// unreadable page; 4 bad size; 5 the picture could not be written; 6 the SWF player is
// missing, cannot run here, or drew nothing within its time.

#include "MovieSnapshot.h"
#include "foundation/AuxArgumentString.h"
#include "foundation/NumberText.h"
#include "publishing/PageSnapshot.h"

#include <QApplication>
#include <QTextStream>

namespace {

// The player gives up well before the program stops waiting for the helper.
constexpr int kMovieTimeLimitMs = 60000;

int fail(int code, const QString &message)
{
    QTextStream(stderr) << "ZuziDOR: " << message << Qt::endl;
    return code;
}

int drawMovie(int argc, char **argv, const QString &input, const QString &output, const QSize &size)
{
    // Checked before the web engine starts, which takes a while.
    if (!MovieSnapshot::looksLikeMovie(input))
        return fail(3, QStringLiteral("not an SWF movie: %1").arg(input));
    // Without a display the view is drawn off screen all the same.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QString error;
    switch (MovieSnapshot::renderToFile(input, output, size, kMovieTimeLimitMs, &error)) {
    case MovieSnapshot::Result::Written:
        return 0;
    case MovieSnapshot::Result::NotAMovie:
        return fail(3, error);
    case MovieSnapshot::Result::NoPlayer:
        return fail(6, error);
    case MovieSnapshot::Result::WriteFailed:
        break;
    }
    return fail(5, error);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2)
        return fail(1, QStringLiteral("usage: ZuziDOR \"i=<page>|o=<jpeg>|w=<width>|h=<height>\""));
    const AuxArgumentString items = AuxArgumentString::parse(QString::fromLocal8Bit(argv[1]));
    const QString input = items.value(QStringLiteral("i"));
    const QString output = items.value(QStringLiteral("o"));
    const QString widthText = items.value(QStringLiteral("w"));
    const QString heightText = items.value(QStringLiteral("h"));
    if (input.isEmpty() || output.isEmpty() || widthText.isEmpty() || heightText.isEmpty())
        return fail(1, QStringLiteral("the items i, o, w and h are all needed"));

    const QSize size(NumberText::intValue(widthText), NumberText::intValue(heightText));
    if (size.width() < 1 || size.height() < 1 || size.width() > PageSnapshot::kMaxSide
        || size.height() > PageSnapshot::kMaxSide)
        return fail(4, QStringLiteral("the size must be 1 to %1 pixels a side").arg(PageSnapshot::kMaxSide));
    if (PageSnapshot::isMovie(input))
        return drawMovie(argc, argv, input, output, size);

    QCoreApplication app(argc, argv);
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
        break;
    }
    return fail(5, QStringLiteral("cannot write %1").arg(output));
}
