// BookCoverMaker: draws a book cover from a picture under a cover design (the book
// cover editor starts it for every render). One argument string, then the language:
//
//     BookCoverMaker "i=<picture>|c=<design>|o=<cover>|f=<0|1>[|e=1]" -AppleLanguages "(en)"
//
// ("|" and "=" inside the paths written ":7C:" and ":3D:"). It reads the picture "i"
// (when given) and the design "c" (docs/cover-maker.md; a missing design file is made
// with the default design), draws the cover and writes it to "o" atomically, in the
// format its extension names. "e=1" first opens the editor on the design: OK writes the
// design and the cover, Cancel writes nothing. "f=1" says the picture changed since the
// last run; covers are always drawn anew, so nothing depends on it.
//
// Exit status: 0 written; 1 bad command line; 3 unreadable picture; 4 unreadable
// design (left as it is); 5 the cover or the design could not be written; 6 the editor
// was cancelled.

#include "foundation/AppStrings.h"
#include "foundation/AuxArgumentString.h"
#include "furnishings/CoverDesign.h"
#include "furnishings/CoverRenderer.h"
#include "furnishings/ui/CoverDesignEditor.h"

#include <QApplication>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QTextStream>

namespace {

int fail(int code, const QString &message)
{
    QTextStream(stderr) << "BookCoverMaker: " << message << Qt::endl;
    return code;
}

// The picture, read no larger than twice the canvas needs.
QImage readPicture(const QString &path, const QSize &canvas, QString *error)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    const QSize most = canvas * 2;
    if (size.isValid() && (size.width() > most.width() || size.height() > most.height()))
        reader.setScaledSize(size.scaled(most, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull())
        *error = reader.errorString();
    return image;
}

bool writeCover(const QImage &cover, const QString &path, QString *error)
{
    QByteArray format = QFileInfo(path).suffix().toLower().toLatin1();
    if (format == "jpeg")
        format = "jpg";
    if (!QImageWriter::supportedImageFormats().contains(format))
        format = "png";
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    QImageWriter writer(&file, format);
    if (format == "jpg") {
        writer.setQuality(92);
        writer.setOptimizedWrite(true); // the same pixels in fewer bytes
        writer.setProgressiveScanWrite(true);
    }
    if (!writer.write(cover)) {
        *error = writer.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList raw;
    for (int i = 0; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    const AuxArgumentString items = AuxArgumentString::parse(raw.value(1));
    const bool edit = items.value(QStringLiteral("e")) == QLatin1String("1");
    // A render needs no display.
    if (!edit && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const qsizetype languageAt = raw.indexOf(QStringLiteral("-AppleLanguages"));
    if (languageAt > 0) {
        QString code = raw.value(languageAt + 1);
        code.remove(QLatin1Char('(')).remove(QLatin1Char(')'));
        if (!code.trimmed().isEmpty())
            setCurrentLanguageCode(code.trimmed());
    }

    const QString input = items.value(QStringLiteral("i"));
    const QString config = items.value(QStringLiteral("c"));
    const QString output = items.value(QStringLiteral("o"));
    if (raw.size() < 2 || config.isEmpty() || output.isEmpty())
        return fail(1, QStringLiteral("usage: BookCoverMaker \"i=<picture>|c=<design>|o=<cover>|f=<0|1>[|e=1]\""));

    CoverDesign design;
    bool missing = false;
    QString error;
    if (!design.loadFromFile(config, &error, &missing) && !missing)
        return fail(4, error);
    bool writeDesign = missing;

    QImage picture;
    if (!input.isEmpty()) {
        picture = readPicture(input, design.canvasSize(), &error);
        if (picture.isNull())
            return fail(3, QStringLiteral("cannot read %1: %2").arg(input, error));
    }

    if (edit) {
        CoverDesignEditor editor(design, picture);
        if (editor.exec() != QDialog::Accepted)
            return 6;
        writeDesign = writeDesign || !(editor.design() == design);
        design = editor.design();
        // The picture was read for the old canvas; a larger canvas reads it again.
        if (!input.isEmpty())
            picture = readPicture(input, design.canvasSize(), &error);
    }

    CoverRenderer renderer;
    const QImage cover = renderer.render(picture, design);
    if (!writeCover(cover, output, &error))
        return fail(5, QStringLiteral("cannot write %1: %2").arg(output, error));
    if (writeDesign && !design.saveToFile(config, &error))
        return fail(5, QStringLiteral("cannot write %1: %2").arg(config, error));
    return 0;
}
