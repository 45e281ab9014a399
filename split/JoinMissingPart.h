#pragma once

#include <QString>

#include <optional>

class Prompter;

// The questions for an entry whose file cannot be found (a part on another
// medium): "… が見付かりません", then whether to change the medium, then a
// file-open dialog in the entry's folder with its name filled in. The file the
// user chose, or nothing when the user gave up at either question.
std::optional<QString> AskForMissingPart(Prompter& prompter, const QString& entryPath);
