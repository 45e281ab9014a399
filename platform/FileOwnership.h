#pragma once

class FileStatus;

// Who owns a file and whether it may be written, for code that replaces a
// file with a new one and wants it to stay the user's file as it was.
class FileOwnership {
public:
    // Gives the open file `fd` the owner and group of `like`, as far as the
    // process may: root gives both, a user may give a group of their own;
    // otherwise the file stays the user's, as any file the user writes anew.
    static void copyTo(int fd, const FileStatus& like);

    // 0 when `path` may be written or does not exist; otherwise the reason
    // (errno) why the user may not write it.
    static int writeRefusal(const char* path);
};
