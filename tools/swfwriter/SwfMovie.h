#pragma once
// Writes small SWF movies: shapes of one solid colour each (with alpha), placed on
// the stage with a transformation and an opacity, frame by frame. Enough for the
// preloaders and plug-in bundles the program ships and for the movies tests need;
// the file is uncompressed ("FWS", version 10) and holds no script.
//
//     SwfMovie movie(QSize(200, 200), 12);
//     const int dot = movie.defineShape(circle, QColor(0x1E88E5));
//     movie.place(dot, 1, QTransform::fromTranslate(100, 100));
//     movie.showFrame();
//     writeFile("spin.swf", movie.toBytes());
//
// Coordinates are pixels of the stage; paths are flattened into polygons, and every
// closed subpath of a shape is filled (shapes with holes are not supported).

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QPainterPath>
#include <QSize>
#include <QTransform>

class SwfMovie
{
public:
    SwfMovie(const QSize &stage, int frameRate);

    // Defines a shape filled with color; returns its character id.
    int defineShape(const QPainterPath &path, const QColor &color);
    // Puts a character at depth (the first time) or moves what is there (later), with
    // the transformation and opacity (0 to 1) it has from this frame on.
    void place(int character, int depth, const QTransform &transform = QTransform(), qreal opacity = 1.0);
    void remove(int depth);
    // Ends the current frame.
    void showFrame();

    int frameCount() const { return m_frames; }
    QByteArray toBytes() const;

private:
    QSize m_stage;
    int m_frameRate;
    int m_frames = 0;
    int m_nextId = 1;
    QList<int> m_placed; // depths in use
    QByteArray m_tags;
};
