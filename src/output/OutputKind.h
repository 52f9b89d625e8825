#pragma once
// The kinds of book the output engine writes, and one table of what each kind is.
//
// The number of a kind is what records and settings store; the numbers never change:
//
//   kind           number  name     written        packed   button  options  basic HTML   writer
//   WebFolder       0      HTML     <name>.html    .zip     1st     output   allowed      web folder
//   Application     1      APP      <name>.app     .zip     2nd     output   off limits   application
//   ZipArchive      2      ZIP      <name>.zip     .zip     -       output   allowed      ZIP archive
//   Executable      3      EXE      <name>.exe     .zip     3rd     output   off limits   executable
//   Html5Folder     4      HTML5    <name>.html    .zip     -       plug-in  allowed      web folder
//   SealedPackage   5      FMAPP    <name>.fmapp   .fmapp   -       plug-in  none at all  sealed package
//   WordPress       6               <name>.zip     .zip     4th     plug-in  allowed      plug-in package
//   Joomla          7               <name>.zip     .zip     5th     plug-in  allowed      plug-in package
//   Drupal          8               <name>.zip     .zip     6th     plug-in  allowed      plug-in package
//
// "written" is the main file of the book (for a web folder: its page beside the
// "files" folder); "packed" is what is written with the ZIP switch on (a sealed
// package is never packed again). "button" is the place of the kind's button in the
// publish dialog. "options" is the part of the dialog shown beside the kinds. The
// report can show the book itself of every kind but 2, 3 and 5.

#include <QList>
#include <QString>
#include <optional>

class OutputKind
{
public:
    enum Code : int {
        WebFolder = 0,
        Application = 1,
        ZipArchive = 2,
        Executable = 3,
        Html5Folder = 4,
        SealedPackage = 5,
        WordPress = 6,
        Joomla = 7,
        Drupal = 8,
    };

    // The part of the engine that writes a kind.
    enum class Writer { WebFolder, ZipArchive, SealedPackage, Application, Executable, PluginPackage };

    // The basic-HTML switch of the publish dialog: usable, disabled, or disabled and off.
    enum class BasicHtml { Enabled, Disabled, DisabledAndOff };

    struct Facts
    {
        Code code;
        const char *extension;       // of the main file written, without the dot
        const char *packedExtension; // the same with the ZIP switch on
        int button;                  // place of the dialog's button from 0; -1 for none
        bool pluginOptions;          // the dialog shows the plug-in options, not the output options
        BasicHtml basicHtml;
        const char *contentSystem;   // "WordPress", "Joomla", "Drupal"; empty otherwise
        Writer writer;
        bool viewable;               // the report can show the book itself
    };

    constexpr OutputKind(Code code = WebFolder) : m_code(code) {}

    // The kind of a number, none for a number that names no kind.
    static std::optional<OutputKind> fromNumber(int number);
    // A stored number as the publish dialog reads it: below 0 is 0, 9 and more are 8.
    static OutputKind fromStored(int number);
    // The kinds with a button in the publish dialog, in the buttons' order.
    static QList<OutputKind> offered();

    constexpr Code code() const { return m_code; }
    constexpr int number() const { return int(m_code); }
    const Facts &facts() const;

    // The extension of what is written, with or without the ZIP switch ("html", "zip", ...).
    QString extension(bool packed) const;
    bool hasButton() const { return facts().button >= 0; }
    bool usesPluginOptions() const { return facts().pluginOptions; }
    BasicHtml basicHtml() const { return facts().basicHtml; }
    QString contentSystemName() const { return QString::fromLatin1(facts().contentSystem); }
    Writer writer() const { return facts().writer; }
    bool isViewable() const { return facts().viewable; }

    friend constexpr bool operator==(OutputKind a, OutputKind b) { return a.m_code == b.m_code; }

private:
    Code m_code;
};
