#include "sysinfo/patcher_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "sysinfo/links_win.h"

namespace lumaforge {
namespace {

TEST(Patcher, FollowsTheBitnessOfWindowsNotOfTheProgram) {
    struct Case {
        bool process64Bit;
        bool underWow64;
        const char* expected;
    };
    const Case cases[] = {
        {true, false, "DudedOzodare-x64.exe"},   // 64-bit program on 64-bit Windows
        {false, true, "DudedOzodare-x64.exe"},   // 32-bit program on 64-bit Windows
        {false, false, "DudedOzodare-x86.exe"},  // 32-bit program on 32-bit Windows
    };
    for (const Case& c : cases)
        EXPECT_STREQ(PatcherFor(c.process64Bit, c.underWow64), c.expected) << c.process64Bit << c.underWow64;
}

struct Launch {
    std::string verb, file, parameters;
    int show;
};

ShellExecuteFunction Recorder(std::vector<Launch>& launches, intptr_t result) {
    return
        [&launches, result](const std::string& verb, const std::string& file, const std::string& parameters, int show) {
            launches.push_back({verb, file, parameters, show});
            return result;
        };
}

TEST(Patcher, LaunchesTheOneBesideTheProgram) {
    // This test program is 64-bit: it runs on 64-bit Windows and never under WOW64.
    EXPECT_FALSE(IsWow64());
    std::vector<Launch> launches;
    LaunchPatcher("C:\\Program Files\\Lumaforge\\", Recorder(launches, 42));
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].verb, "open");
    EXPECT_EQ(launches[0].file, "C:\\Program Files\\Lumaforge\\DudedOzodare-x64.exe");
    EXPECT_EQ(launches[0].parameters, "");
    EXPECT_EQ(launches[0].show, SW_SHOWNORMAL);
}

TEST(Links, OpenTheirPagesInTheBrowser) {
    std::vector<Launch> launches;
    OpenWebPage(Recorder(launches, 42), HomepageAddress("http://res.example/"));
    OpenWebPage(Recorder(launches, 42), "http://icons.example/");
    OpenWebPage(Recorder(launches, 42), "");
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(launches[0].file, "http://res.example/20107221.html");
    EXPECT_EQ(launches[1].file, "http://icons.example/");
    for (const Launch& launch : launches) {
        EXPECT_EQ(launch.verb, "open");
        EXPECT_EQ(launch.show, SW_SHOWNORMAL);
    }
}

}  // namespace
}  // namespace lumaforge
