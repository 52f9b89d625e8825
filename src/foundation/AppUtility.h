#pragma once
// Shared utility operations: the per-user folders, file and folder operations,
// archives and package installation, digests, XML text nodes, the clipboard and the
// Flash player's trust files.
//
// The per-user data area lies under the generic data location (XDG_DATA_HOME,
// usually ~/.local/share):
//   <data>/Zendarrow/Quorvel/            extra data (userAppExtraDataPath), Log.txt
//   <data>/Zendarrow/flipbook/<sub>/     user resources (userAppResourcePath)

#include <QByteArray>
#include <QDomDocument>
#include <QDomElement>
#include <QFileDevice>
#include <QString>
#include <QStringList>
#include <QVariant>

class AppUtility
{
public:
    // The program's name as used in folder names: blanks written "_".
    static QString appFolderName();

    // The user's data folder with subPath appended, created with its parents when
    // missing (creation errors are ignored); the base folder for an empty subPath.
    static QString userAppFolderForSubFolder(const QString &subPath = QString());
    // "Zendarrow/<app folder name>/" of the data folder, with subFolder appended.
    static QString userAppExtraDataPath(const QString &subFolder = QString());
    // "Zendarrow/flipbook/<subFolder>/" of the data folder.
    static QString userAppResourcePath(const QString &subFolder = QString());

    // Writes text as UTF-8 after the byte-order mark EF BB BF, atomically.
    static bool writeString(const QString &text, const QString &path);

    // Copies the contents of sourceFolder into destinationFolder (created when
    // missing), replacing existing items of the same name. Names beginning with "."
    // are copied only when withHiddenFiles. SafeFiles::copyFolder does it: sourceFolder
    // must lie in home (the folder it is named in when empty), and links, special files
    // and files with more than one name are left out (named in the log and *leftOut), so
    // a copy holds nothing from outside the folder.
    static bool copyFromPath(const QString &sourceFolder, const QString &destinationFolder,
                             bool withHiddenFiles, const QString &home = QString(), QStringList *leftOut = nullptr);

    // Full paths of all folders below folder, at any depth (links not followed).
    static QStringList subFolderOfFolder(const QString &folder);

    // Only the characters "0" to "9" of text, in order.
    static QString checkIntegerValueString(const QString &text);

    // Puts text on the clipboard (from any thread; needs a GUI application).
    static void copyString2Pasteboard(const QString &text);

    // MD5 as 32 lower-case hexadecimal digits.
    static QString MD5StringOfData(const QByteArray &data);
    static QString MD5StringOfString(const QString &text); // of its UTF-8 bytes

    // A new element called key holding text as CDATA.
    static QDomElement getCDATA(QDomDocument &document, const QString &text, const QString &key);
    // CDATA holding value's text. A text containing "]]>" cannot sit in one CDATA
    // section: it is then split over several sections, returned together in a
    // document fragment (appending the fragment appends the sections), so the
    // written XML stays well-formed and reads back as the exact text.
    static QDomNode getCDataNode(QDomDocument &document, const QVariant &value);

    // ZIP archives (in-process). zipDirectory writes the folder's contents with paths
    // relative to it, replacing an older archive only when the new one is complete.
    // Extraction overwrites existing files, refuses archives holding absolute names,
    // ".." parts or links (nothing is written then), keeps the executable bit and
    // leaves out "__MACOSX".
    static bool zipDirectory(const QString &folder, const QString &archivePath);
    static bool unzipArchive(const QString &archivePath, const QString &folder);
    static bool unzipData(const QByteArray &archive, const QString &folder);

    // Installs a package into folder: unpacked when it is a ZIP archive (begins with
    // "PK"), copied there otherwise; then ".ver" gets version and the folder is made
    // read-only (octal 555). A read-only folder from an earlier install is made
    // writable first. ".ver" is only written when the package went in completely.
    static bool installPKGFile(const QString &packagePath, const QString &folder, const QString &version);
    // True when folder's ".ver" is missing, unreadable or older than version; when it
    // is older the folder is emptied (deleted and created again).
    static bool isNeedInstallPKGToPath(const QString &folder, const QString &version);

    // The folder the Flash player reads trust files from, created when missing.
    static QString getFlashTrustFolder();
    // Records folder in the program's trust file, so a local viewer may load its files.
    static bool makeDiractoryTrustByFlash(const QString &folder);
};

// The user's Documents folder ("~/Documents" when the system names none).
QString userDocumentsFolder();

// A new empty folder "temp.XXXXXX" (mode 0700) in "<tmp>/<app folder name>/" (in
// "<tmp>/<app folder name>-<uid>/" when another user owns that folder); a null
// string when it cannot be made. The program holds a claim on it (the lock file
// "temp.XXXXXX.lock" beside it) until it is removed with removeTree() or the
// program ends.
QString createUniqueTempFolder();
// Removes the temporary folders that programs which ended left behind: those whose
// claim no running program holds, and unclaimed ones untouched for two days. Folders
// of running programs stay. Returns how many were removed.
int removeStaleTemporaryFolders();

// Sets the permission bits (e.g. 0755) of an existing file or folder.
bool changeFilePermistion(const QString &path, uint mode);

// Makes folder and every folder below it writable and searchable by the owner, so it
// can be filled or deleted (an installed folder is left read-only).
void makeTreeWritable(const QString &folder);
// Deletes folder with its contents, read-only folders included.
bool removeTree(const QString &folder);

// The trust folders of the Flash player: the system folder
// "/etc/adobe/FlashPlayerTrust" when it exists and is writable, and the user's folder
// "~/.macromedia/Flash_Player/#Security/FlashPlayerTrust" when it exists (it is
// created when the system folder is not usable).
QStringList flashTrustFolderList();
