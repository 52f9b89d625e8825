#pragma once
// A viewer template and the book's design settings: the settings tree read from the
// template's description file (resources/templates/<name>/template.xml, format in
// docs/template-format.md), its styles, and the current value of every setting.
//
// Values are read and written by key. File values may name files relative to two
// folders: "STYLE_RESOURCE:<path>" lies in the template's own folder and
// "STYLE_EXTERN:<path>" in the extern resource folder (an unpacked theme package or
// the project's folder); resolveResourcePath() turns them into paths. A plain path
// takes effect anywhere, unless the template's values came from a file someone else
// may have made (a project): then only inside the folders set with
// setPlainPathFolders().
//
// The template announces changes through Qt signals; whoever changes a value on the
// user's behalf posts FlashTmplProValueChangedNotification (see TemplateNotifications.h).

#include "templates/FlashTemplateProperty.h"
#include "templates/FlashTemplateStyle.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <memory>

struct TemplateDescription;

// All values of a template at one moment, for undo.
struct FlashTemplateSnapshot
{
    QString styleName;
    QHash<QString, QString> values;
    bool operator==(const FlashTemplateSnapshot &other) const = default;
};

class FlashTemplate : public QObject
{
    Q_OBJECT
public:
    explicit FlashTemplate(QObject *parent = nullptr);
    ~FlashTemplate() override;

    static QString defaultTemplateName();       // "Aurora", the desktop template
    static QString defaultMobileTemplateName(); // "Metro", the phone template
    // The description file of a template installed with the program.
    static QString bundledTemplateFile(const QString &name);

    // Reads a description file; every value becomes its default and no style is
    // applied. On failure the template stays as it was and errorString() says why.
    bool loadTemplateXmlFile(const QString &path);
    QString errorString() const { return m_error; }
    bool isLoaded() const;
    QString templateFile() const { return m_templateFile; }
    QString templateFolder() const; // folder of the description file

    QString tmplName() const { return m_tmplName; }
    void setTmplName(const QString &name) { m_tmplName = name; }
    QString tmplCaption() const { return m_tmplCaption; }
    bool isMobileTemplate() const { return m_isMobile; }
    void setIsMobileTemplate(bool mobile) { m_isMobile = mobile; }
    QString externResourcePath() const { return m_externResourcePath; }
    void setExternResourcePath(const QString &path) { m_externResourcePath = path; }
    // The folders a plain path must lie in to be resolved (links followed); empty:
    // anywhere.
    QStringList plainPathFolders() const { return m_plainPathFolders; }
    void setPlainPathFolders(const QStringList &folders) { m_plainPathFolders = folders; }

    // The text value of a setting, or defaultValue when the template has no such setting.
    QString propertyValue(const QString &key, const QString &defaultValue = {}) const;
    // Sets a setting's value in its kind's notation (see FlashTemplateProperty::acceptedValue).
    // False, changing nothing, for an unknown key or a value the setting does not accept.
    bool setPropertyValue(const QString &key, const QString &value);
    bool hasProperty(const QString &key) const;
    FlashTemplateProperty *propertyForKey(const QString &key) const;
    QStringList propertyKeys() const; // every setting (no categories), in tree order
    FlashTemplateProperty *rootProperty() const; // holds the categories; null before loading

    // Every value back to its default; no style applied.
    void resetToDefaults();

    // The path a file value names: "STYLE_RESOURCE:" and "STYLE_EXTERN:" values inside
    // their folder, other values as they are. Empty when the value is empty, when its
    // folder is not known, when the path would lead out of that folder (by name or
    // through a link), or when a plain path lies outside the plain path folders.
    QString resolveResourcePath(const QString &value) const;
    QString propertyFilePath(const QString &key) const; // resolved value of a setting
    // What a person is shown of a value: the file name of a "STYLE_RESOURCE:" or
    // "STYLE_EXTERN:" value (the folder's own name for a folder), other values as they are.
    static QString displayFileName(const QString &value);
    // The file settings whose value names a file that is not used (see
    // resolveResourcePath), for telling the user.
    QStringList unresolvedFileSettings() const;

    // Copies a file the user chose for a setting into the extern resource folder
    // (below "files/", under a free name) and returns the value that names the copy,
    // "STYLE_EXTERN:files/<name>": the book keeps the file wherever the project goes.
    // Empty, with *error, when there is no extern resource folder or the copy fails.
    QString adoptFile(const QString &file, QString *error = nullptr) const;

    QList<FlashTemplateStyle> styles() const { return m_styles; }
    QStringList styleNames() const;
    // Resets every value to its default, then applies the style's values. False for an
    // unknown style (nothing changes).
    bool applyStyle(const QString &name);
    QString currentStyleName() const { return m_styleName; }

    // The settings text ("tmplSetting.txt" format) of every setting, in tree order.
    QString settingsText() const;
    // Applies the settings of a text. Settings the text does not name keep their
    // values; unknown keys and values a setting does not accept are skipped.
    // Returns how many settings were applied.
    int loadSettingsFromText(const QString &text);
    // Reads a settings file (UTF-8; Latin-1 when it is not). False when it cannot be read.
    bool loadSettingsFromFile(const QString &path);
    // Writes the settings text atomically as UTF-8.
    bool saveSettingsToFile(const QString &path);
    // Lower-case hexadecimal MD5 of the settings text: changes exactly when a value does.
    QString settingsDigest() const;

    // The template's analytics script with the "analyticsID" setting filled in (written
    // as the content of a script string literal); empty when no id is set.
    QString analyticsScriptText() const;

    FlashTemplateSnapshot snapshot() const;
    // Puts back the values of a snapshot; keys this template does not have are ignored.
    void restoreSnapshot(const FlashTemplateSnapshot &snapshot);

signals:
    void propertyValueChanged(const QString &key);
    // The settings tree is about to be replaced (a new description, or the template
    // going away), and has been replaced.
    void settingsTreeAboutToChange();
    void settingsTreeChanged();

private:
    bool assignValue(FlashTemplateProperty *property, const QString &value);

    QString m_error;
    QString m_templateFile;
    QString m_tmplName;
    QString m_tmplCaption;
    bool m_isMobile = false;
    QString m_externResourcePath;
    QStringList m_plainPathFolders;
    std::unique_ptr<FlashTemplateProperty> m_root;
    QHash<QString, FlashTemplateProperty *> m_index; // settings only, by key
    QStringList m_keys;                              // settings in tree order
    QList<FlashTemplateStyle> m_styles;
    QString m_styleName;
    QString m_analyticsScript;
};
