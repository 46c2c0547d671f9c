// The sample scripts shipped for the netpbm folder, run through the launcher on real images.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/posix/ProcessLauncherPosix.h"
#include "support/TempFolder.h"

namespace korvex {
namespace {

using test::TempFolder;

// Runs a shell command in `folder`; true when it succeeded.
bool shell(const std::filesystem::path& folder, const std::string& command) {
    return std::system(("cd '" + folder.string() + "' && " + command + " 2>/dev/null").c_str()) ==
           0;
}

// "P6\n200 180\n255\n"-style header of a PNM produced from `command`, read as width and height.
std::pair<int, int> pnmSize(const std::filesystem::path& folder, const std::string& command) {
    std::FILE* pipe =
        ::popen(("cd '" + folder.string() + "' && " + command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) return {0, 0};
    char magic[3] = {};
    int width = 0, height = 0;
    const int got = std::fscanf(pipe, "%2s %d %d", magic, &width, &height);
    ::pclose(pipe);
    return got == 3 ? std::make_pair(width, height) : std::make_pair(0, 0);
}

struct NetpbmFolder {
    TempFolder folder;
    ProcessLauncherPosix launcher{folder.path()};
    NetpbmFolder() {
        std::filesystem::create_directory(folder / "netpbm");
        for (const char* script : {"tif2gif.sh", "CombinePics.sh"}) {
            std::filesystem::copy_file(
                std::filesystem::path(KORVEX_SOURCE_DIR) / "src/resources/netpbm" / script,
                folder / "netpbm" / script);
        }
    }
};

TEST(NetpbmScripts, Tif2gifConvertsAScannedTiff) {
    NetpbmFolder f;
    // A black-and-white G4 TIFF, the kind a cheque scanner sends, and a colour one.
    for (const std::string make :
         {"pbmmake -g 320 120 | pnmtotiff -g4", "ppmpat -g2 320 120 | pnmtotiff"}) {
        SCOPED_TRACE(make);
        ASSERT_TRUE(shell(f.folder.path(), make + " > netpbm/tmpimage.tif"));
        std::filesystem::remove(f.folder / "netpbm/tmpimage.gif");
        const LaunchResult r = f.launcher.runScript(
            "netpbm\\tif2gif", {"netpbm\\tmpimage.tif", "netpbm\\tmpimage.gif"},
            std::chrono::seconds(30));
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(f.folder.read("netpbm/tmpimage.gif").substr(0, 4), "GIF8");
        EXPECT_EQ(pnmSize(f.folder.path(), "giftopnm netpbm/tmpimage.gif"),
                  std::make_pair(320, 120));
    }
}

TEST(NetpbmScripts, Tif2gifFailsCleanlyOnABrokenImage) {
    NetpbmFolder f;
    f.folder.write("netpbm/tmpimage.tif", std::string("II*\0garbage", 11));
    const LaunchResult r =
        f.launcher.runScript("netpbm\\tif2gif", {"netpbm\\tmpimage.tif", "netpbm\\tmpimage.gif"},
                             std::chrono::seconds(30));
    EXPECT_NE(r.exitCode, 0);
    EXPECT_FALSE(f.folder.exists("netpbm/tmpimage.gif"));
    EXPECT_FALSE(f.folder.exists("netpbm/tmpimage.gif.part"));
}

TEST(NetpbmScripts, CombinePicsPutsTheBackUnderTheFront) {
    NetpbmFolder f;
    std::filesystem::create_directory(f.folder / "images");
    ASSERT_TRUE(shell(f.folder.path(), "ppmpat -g2 300 120 | pnmtojpeg > images/front.jpg"));
    ASSERT_TRUE(shell(f.folder.path(), "cp images/front.jpg netpbm/tmp-front.jpg"));
    ASSERT_TRUE(shell(f.folder.path(), "ppmpat -g2 280 100 | pnmtojpeg > netpbm/tmp-back.jpg"));
    const LaunchResult r = f.launcher.runScript("netpbm\\CombinePics", {"images\\front.jpg"},
                                                std::chrono::seconds(30));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(pnmSize(f.folder.path(), "jpegtopnm images/front.jpg"), std::make_pair(300, 220));
}

TEST(NetpbmScripts, CombinePicsLeavesTheFrontAloneWhenTheBackIsBroken) {
    NetpbmFolder f;
    ASSERT_TRUE(shell(f.folder.path(), "ppmpat -g2 300 120 | pnmtojpeg > front.jpg"));
    ASSERT_TRUE(shell(f.folder.path(), "cp front.jpg netpbm/tmp-front.jpg"));
    const std::string before = f.folder.read("front.jpg");
    f.folder.write("netpbm/tmp-back.jpg", "not an image");
    const LaunchResult r =
        f.launcher.runScript("netpbm\\CombinePics", {"front.jpg"}, std::chrono::seconds(30));
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(f.folder.read("front.jpg"), before);
}

}  // namespace
}  // namespace korvex
