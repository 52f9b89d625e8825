#pragma once
// Lists the icons of a Windows executable as icon files, for the settings sheet of
// executable books (its default icon is the largest icon of our program stub).
//
//   WinIcon *icons = WinIcon::shareInance();
//   if (icons->loadExeFile(stub) && icons->parseExeIcon())
//       for (const QVariant &v : icons->exeIconsInfo()) ... v.toMap()["fileName"] ...
//
// parseExeIcon() writes each icon picture as a one-picture ".ico" file into the icon
// folder ("ExeIcons" in the user's extra-data folder unless set), named after the
// program, the icon's number and its size, so a path kept in the settings stays
// valid across runs. The shared object is meant for the main thread.

#include "output/packages/ExeIconResources.h"

#include <QVariantList>

class WinIcon
{
public:
    static WinIcon *shareInance();

    // Reads the program file (at most 256 MiB). False when it cannot be read or is not
    // a Windows program.
    bool loadExeFile(const QString &path);
    // Reads the icons of the loaded program and writes their files. False when nothing
    // is loaded, the icon resources are malformed or a file cannot be written.
    bool parseExeIcon();

    // One map per icon: "fileName" (path of its ".ico" file), "fileSize" (bytes of
    // that file), and "width", "height" in pixels.
    QVariantList exeIconsInfo() const { return m_info; }
    const QList<ExeIconResources::Icon> &icons() const { return m_resources.icons(); }

    void setIconFolder(const QString &folder) { m_iconFolder = folder; }
    QString iconFolder() const;

    QString errorString() const { return m_error; }

private:
    QString m_exePath;
    QByteArray m_exe;
    ExeIconResources m_resources;
    QVariantList m_info;
    QString m_iconFolder;
    QString m_error;
};
