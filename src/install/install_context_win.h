#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "base/program_paths.h"
#include "base/shell_win.h"
#include "install/package_extractor.h"
#include "net/msg_kind.h"

namespace lumaforge {

// What every installer needs of the window that runs it. Installers run on the user-interface
// thread inside the user's action; an error they do not handle (a damaged package, a refused
// registry write) is raised and ends at the window's error report.
struct InstallContext {
    const ProgramPaths& paths;
    TPackageExtractor& extractor;
    // The main window: owner of the messages and of the programs the installers launch.
    HWND owner = nullptr;
    // Shows a message with the kind's caption; returns the button pressed.
    std::function<int(const std::string& text, TMsgKind kind)> showMessage;
    // Launches a program or opens a file through the shell (ShellExecute); returns its result,
    // greater than 32 on success. An empty verb is the default verb.
    ShellExecuteFunction shellExecute;
};

}  // namespace lumaforge
