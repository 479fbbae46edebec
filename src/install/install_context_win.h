#pragma once
#include <windows.h>

#include "base/code_page_win.h"
#include "install/install_host.h"
#include "install/package_extractor.h"
#include "install/system_access_win.h"

namespace lumaforge {

// The real file system, registry and settings, made before the host that refers to them.
struct WinSystem {
    WinSystemFiles files;
    WinSystemRegistry registry;
    WinSystemSettings settings;
    WinAnsiCodePage ansiCodePage;
};

// The installers' host on the real system: the window fills in its owner, messages and launches.
struct InstallContext : private WinSystem, public InstallHost {
    InstallContext(const ProgramPaths& paths, TPackageExtractor& extractor)
        : InstallHost(paths, extractor, {WinSystem::files, WinSystem::registry, WinSystem::settings}) {
        codePage = &ansiCodePage;
    }
    InstallContext(const InstallContext&) = delete;
    InstallContext& operator=(const InstallContext&) = delete;
};

}  // namespace lumaforge
