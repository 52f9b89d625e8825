#pragma once
// The workspace of the toolbar icon window: the pictures that replace toolbar icons
// (its "Icons" folder), the window's last choices (".cfg") and the archives it makes.
//
//   <workSpace>/Icons/next.png      a replacement, named by its key
//   <workSpace>/.cfg                property list: "list" (key -> "Icons/<file>" or ""),
//                                   "check" (replacement SWF chosen), "swf" (its path)
//   <workSpace>/<ms>.zip            an archive of the Icons folder: the setting's value
//                                   (the design settings keep a copy of their own)
//
// Each open book has a workspace of its own (the shell's changeIconWorkspace), so one
// book's replacements never show in, nor go into, another book.
//
// The icons are those of ToolbarIconSet, each a map with "key", its description
// entries ("title", "desc") and "value" (its replacement relative to the workspace,
// or "").

#include <QHash>
#include <QList>
#include <QString>
#include <QVariantMap>

class ToolbarIconWorkspace
{
public:
    // Reads the icon list (the program's, or listFile) and the built-in pictures.
    explicit ToolbarIconWorkspace(const QString &listFile = QString());

    QString workSpace() const { return m_workSpace; }
    void setWorkSpace(const QString &folder);
    QString iconsFolder() const { return m_workSpace + QStringLiteral("/Icons"); }

    const QList<QVariantMap> &icons() const { return m_iconsList; }
    int count() const { return int(m_iconsList.size()); }
    bool isValidRow(qint64 row) const { return row >= 0 && row < m_iconsList.size(); }
    QString keyOf(int row) const;
    // Absolute path of the icon's replacement ("" for none) and of its built-in picture.
    QString customPicture(int row) const;
    QString builtInPicture(int row) const;
    // What the window shows for the icon: the replacement, else the built-in picture
    // when its file exists, else "".
    QString previewPicture(int row) const;

    bool swfChecked() const { return m_swfChecked; }
    void setSwfChecked(bool checked) { m_swfChecked = checked; }
    QString swfFile() const { return m_swfFile; }
    void setSwfFile(const QString &path) { m_swfFile = path; }

    // Prepares the workspace for inputFile (the setting's value): the folder is made
    // when missing (a new temporary one when none is set or it cannot be made); an
    // archive value is loaded; then the last choices
    // saved in ".cfg". error gets the reason when the archive was refused.
    void loadConfig(const QString &inputFile, QString *error = nullptr);
    // Takes the replacements of an archive into the Icons folder, under their own
    // names. False, changing nothing, when the archive is refused (error says why).
    bool loadZipResource(const QString &archive, QString *error = nullptr);
    // Makes source the replacement of row's icon, as "<key>.png" (other pictures are
    // converted). False when source is no picture or cannot be written; an earlier
    // replacement stays until the new one is written whole.
    bool saveIconFile(int row, const QString &source);
    // Returns row's icon to the built-in one.
    void setDefault(int row);
    // Removes pictures no icon uses, then archives the Icons folder into the workspace;
    // the archive's path, or "" when no replacement is left.
    QString zipIcons();
    // Removes the archives earlier runs made in the workspace, all but keep.
    void removeArchivesExcept(const QString &keep);
    // Writes ".cfg" (a new temporary workspace first when the folder is gone).
    bool saveConfig();

private:
    void refreshDict();
    void removeUnusedPictures();

    QString m_workSpace;
    QList<QVariantMap> m_iconsList;
    QHash<QString, QString> m_iconsDict;  // lower-case key -> replacement path or ""
    QHash<QString, QString> m_orgPicDict; // lower-case key -> built-in picture
    bool m_swfChecked = false;
    QString m_swfFile;
};
