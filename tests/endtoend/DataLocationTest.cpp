#include "engine/DataLocation.h"

#include "common/TempFolder.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

using veltrim::testing::TempFolder;

// Runs the body with the working folder set to `folder`, restoring it afterwards.
template <class Body> void InFolder(const std::filesystem::path& folder, Body body) {
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    body();
    std::filesystem::current_path(previous);
}

// The working folder's data first, then the folder the environment names,
// then the installation's, then the source tree the program was built in.
TEST(DataLocation, WorkingFolderThenEnvironmentThenInstallationThenSourceTree) {
    TempFolder prefix, tree, work, mine, empty;
    prefix.Write("bin/veltrim-calc", "");
    prefix.Write("share/veltrim/data/Tungsten.dat", "x");
    tree.Write("build/cli/veltrim-calc", "");
    tree.Write("data/Tungsten.dat", "x");
    work.Write("Tungsten.dat", "x");
    mine.Write("Tungsten.dat", "x");
    unsetenv("VELTRIM_DATA");
    InFolder(work.Path(),
             [&] { EXPECT_EQ(veltrim::FindDataFolder(prefix / "bin/veltrim-calc"), "."); });
    InFolder(empty.Path(), [&] {
        EXPECT_EQ(veltrim::FindDataFolder(prefix / "bin/veltrim-calc"),
                  std::filesystem::canonical(prefix.Path()) / "share/veltrim/data");
        EXPECT_EQ(veltrim::FindDataFolder(tree / "build/cli/veltrim-calc"),
                  std::filesystem::canonical(tree.Path()) / "data");
        // A program run from elsewhere still finds the data of the tree it was built from.
        EXPECT_TRUE(std::filesystem::is_regular_file(
            veltrim::FindDataFolder(empty / "nowhere/veltrim-calc") / "Tungsten.dat"));
        setenv("VELTRIM_DATA", mine.Path().c_str(), 1);
        EXPECT_EQ(veltrim::FindDataFolder(prefix / "bin/veltrim-calc"), mine.Path());
    });
    unsetenv("VELTRIM_DATA");
}

} // namespace
