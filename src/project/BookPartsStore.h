#pragma once
// How a project keeps a book's parts (BookParts): one project part for each piece the
// project stores, reading and writing its element and naming its folder of files.
//
//   Tabs       <Tabs .../>, the tab file's element
//   PlugIn     <PlugIn ...><Swf>files/plugin/<name>1.swf</Swf></PlugIn>, the plug-in
//              bundle's element of the book configuration; opening the project writes
//              the bundle's "settings.dat" from it
//   Security   <Security><plist>...</plist></Security>, the protection settings
//   Assistant  <Assistant ...>, the narration; folder: its texts and sounds
//   Scene      <Scene name=".." xml=".."><Layer place=".." file=".." position=".."/></Scene>;
//              folder: the scene's files
//   Download   (empty element); folder: the download configuration's workspace
//   Cover      <Cover file=".."/>; folder: the cover picture and what it was made from
//
// Paths in the elements are relative to the part's folder, and a path read back that
// would leave it (absolute, "..") is not followed: a project received from elsewhere
// can name no other file on the disk. When the project carries a folder to a new place,
// the part moves the value's paths along.

#include "project/BookProjectPart.h"

#include <QList>

class BookParts;

namespace BookPartsStore {

// The project parts of the value; they refer to parts, which must outlive them.
QList<BookProjectPartPtr> projectParts(BookParts &parts);

} // namespace BookPartsStore
