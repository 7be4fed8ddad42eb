// Emptying a folder tree, the folder itself kept.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/TempFolder.h"
#include "utils/FolderContents.h"

namespace {

namespace fs = std::filesystem;

TEST(FolderContents, EmptiesNestedFoldersAndKeepsTheFolder)
{
    test_support::TempFolder dir;
    const fs::path root = fs::path(dir.path()) / "Ebook";
    fs::create_directories(root / "a" / "b");
    std::ofstream(root / "top.txt") << "x";
    std::ofstream(root / "a" / "b" / "deep.txt") << "y";
    // A linked folder goes as a link; what it points at stays.
    const fs::path outside = fs::path(dir.path()) / "outside";
    fs::create_directories(outside);
    std::ofstream(outside / "keep.txt") << "z";
    fs::create_directory_symlink(outside, root / "link");

    // The system's separators and another letter case.
    EXPECT_EQ(1, Tessor::utils::deleteFolderContents(dir.path() + "\\EBOOK"));
    EXPECT_TRUE(fs::is_directory(root));
    EXPECT_TRUE(fs::is_empty(root));
    EXPECT_TRUE(fs::exists(outside / "keep.txt"));

    EXPECT_EQ(1, Tessor::utils::deleteFolderContents(dir.path() + "/Ebook"));
    EXPECT_TRUE(fs::is_empty(root));
    EXPECT_EQ(1, Tessor::utils::deleteFolderContents(dir.path() + "/missing"));
}

}  // namespace
