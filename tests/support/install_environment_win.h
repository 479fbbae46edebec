#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/code_page_win.h"
#include "base/program_paths.h"
#include "base/unicode_win.h"
#include "install/install_context_win.h"
#include "install/package_extractor.h"
#include "support/win_test_support.h"

namespace lumaforge::test {

struct Launch {
    std::string verb, file, parameters;
    int show;
};

// An installer context over folders of a test's own: the program folder, with "windows" and
// "windows\system32" beneath it standing for the system's. Messages and shell launches are
// recorded, never shown or run; every installer message is an information.
class InstallEnvironment {
protected:
    InstallEnvironment() {
        root.MakeFolder(L"windows\\system32");
        paths.SetProgramFolder(ToUtf8(root.Path()));
        paths.SetSystemFolders(ToUtf8(root.Path()) + "windows", ToUtf8(root.Path()) + "windows\\system32");
        ctx.showMessage = [this](const std::string& text, TMsgKind kind) {
            messages.push_back(text);
            EXPECT_EQ(kind, mkInformation);
            return IDOK;
        };
        ctx.shellExecute = [this](const std::string& verb, const std::string& file, const std::string& parameters,
                                  int show) {
            launches.push_back({verb, file, parameters, show});
            return launchResult;
        };
    }

    TempFolder root;
    ProgramPaths paths;
    WinAnsiCodePage packageNames{936};
    TPackageExtractor extractor{packageNames};
    InstallContext ctx{paths, extractor};
    std::vector<std::string> messages;
    std::vector<Launch> launches;
    intptr_t launchResult = 42;
};

}  // namespace lumaforge::test
