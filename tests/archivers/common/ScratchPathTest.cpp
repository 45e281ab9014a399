#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ScratchPath.h"
#include "TempDir.h"

using kestrel::arc::ScratchPath;
using kestrel::test::TempDir;

// A scratch file or folder is hidden in the folder asked for and gone, with
// whatever was put in it, when the command is over.
TEST(ScratchPath, ScratchFilesAndFoldersGoWithEverythingInThem) {
    TempDir dir;
    {
        ScratchPath file(dir.path(), ScratchPath::Kind::File);
        ScratchPath folder(dir.path(), ScratchPath::Kind::Folder);
        ASSERT_EQ(file.path().find(dir / ".kes-sfx-"), 0u) << file.path();
        ASSERT_TRUE(std::filesystem::is_regular_file(file.path()));
        ASSERT_TRUE(std::filesystem::is_directory(folder.path()));
        std::filesystem::create_directories(folder.path() + "/deep/er");
        std::ofstream(folder.path() + "/deep/er/payload.cab") << "x";
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    ScratchPath nowhere(dir / "missing", ScratchPath::Kind::File);
    EXPECT_TRUE(nowhere.path().empty());
}
