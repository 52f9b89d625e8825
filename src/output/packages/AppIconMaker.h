#pragma once
// Makes the ".icns" icon of a desktop application book from one picture per size.
//
//   AppIconMaker maker;
//   maker.setIconFile(folder + "/icon.icns");
//   maker.setInputFileDict({{"512", a}, {"256", b}, {"128", c}, {"32", d}, {"16", e}});
//   if (maker.generateIcon()) use(maker.iconFile());
//
// The sizes "512", "256", "128", "32" and "16" are required, "1024" is optional;
// other keys are ignored. Each picture is scaled to its exact square size.

#include <QString>
#include <QVariantMap>

class AppIconMaker
{
public:
    static const QStringList &requiredSizes();

    void setIconFile(const QString &path) { m_iconFile = path; }
    QString iconFile() const { return m_iconFile; }

    // Size as decimal text -> picture file path.
    void setInputFileDict(const QVariantMap &files) { m_inputFiles = files; }
    QVariantMap inputFileDict() const { return m_inputFiles; }

    // Writes the icon file atomically. False (and no file written) when a required
    // size is missing, a picture cannot be read, or the file cannot be written.
    bool generateIcon();

    QString errorString() const { return m_error; }

private:
    QString m_iconFile;
    QVariantMap m_inputFiles;
    QString m_error;
};
