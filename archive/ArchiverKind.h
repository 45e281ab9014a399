#pragma once

#include <QString>

// The three archiver libraries, each named as the window names it in its messages.
enum class ArchiverKind { Unlha, UnZip, Cab };

// "unlha32", "unzip32", "cab32": the name a user reads in a message.
QString archiverName(ArchiverKind kind);
