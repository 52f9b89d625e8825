#pragma once
// The output kinds the publish dialog offers, and what each kind changes in it.
//
//   0 HTML web folder     ".html"   output options   basic HTML allowed
//   1 desktop application ".app"    output options   no basic HTML
//   3 Windows executable  ".exe"    output options   no basic HTML
//   6 WordPress plug-in   ".zip"    plug-in options  basic HTML allowed
//   7 Joomla module       ".zip"    plug-in options  basic HTML allowed
//   8 Drupal module       ".zip"    plug-in options  basic HTML allowed
//
// Kinds the dialog does not offer (2, 4, 5) follow the same rules; kind 5, the sealed
// offline book, has no basic HTML pages at all.

#include <QList>
#include <QString>

namespace PublishOutputKinds {

// The kinds offered, in the order of the dialog's buttons.
const QList<int> &iOutputTypeList();
bool isOffered(int kind);

// A stored kind as the dialog opens it: below 0 becomes 0, 9 and more become 8.
// Kinds without a button (2, 4, 5) are left to the dialog, which opens them as 0.
int clampStoredKind(int kind);
// A stored load type: below 0 becomes 0, 4 and more become 3.
int clampLoadType(int loadType);

// The file name extension shown beside the name field: ".html", ".app", ".exe", else ".zip".
QString extensionLabel(int kind);
// The same for what is written: a book packed into a ZIP archive is "<name>.zip".
QString extensionLabel(int kind, bool compressToZip);
// True for the web content system kinds and every other kind from 4 on.
bool usesPluginOptions(int kind);

enum class BasicHtml { Enabled, Disabled, DisabledAndOff };
BasicHtml basicHtmlRule(int kind);

// "WordPress", "Joomla", "Drupal" for 6, 7, 8; empty otherwise.
QString contentSystemName(int kind);

} // namespace PublishOutputKinds
