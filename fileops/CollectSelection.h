#pragma once

#include <QStringList>

class CommandHost;

// What Copy, Cut and Delete work on: with the list-click flag on, the keys of
// the list's selected items in list order (none selected: empty); with it
// off, the key of the tree's selected folder (ending in "/"), or nothing when
// no folder is selected.
QStringList CollectSelection(CommandHost& host);

// A path of PathList as the file operations take it: one trailing "/" removed
// (a tree key), except from the root "/" itself.
QString WithoutTrailingSlash(const QString& path);
