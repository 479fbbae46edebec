#include "install/cursor_scheme_win.h"

#include <stdexcept>

#include "base/code_page_win.h"
#include "base/files_win.h"
#include "base/registry_win.h"
#include "base/unicode_win.h"
#include "install/cursor_scheme.h"

namespace lumaforge {
namespace {
constexpr char kCursorsKey[] = "Control Panel\\Cursors";
constexpr char kSchemesKey[] = "Control Panel\\Cursors\\Schemes";

// The system takes over a cursor it accepts; one it refuses is ours to free.
void SetSystemCursorFrom(HCURSOR cursor, unsigned id) {
    if (cursor && !SetSystemCursor(cursor, id))
        DestroyCursor(cursor);
}
}  // namespace

bool ApplyCursorScheme(InstallContext& ctx, const std::string& name) {
    const std::string folder = ctx.paths.CursorSchemeFolder(name);
    const std::string infPath = folder + "setup.inf";
    std::string infBytes;
    if (!ReadWholeFile(infPath, infBytes))
        throw std::runtime_error("Cannot open file \"" + infPath + "\"");
    // setup.inf is 8-bit text in the ANSI code page, as the setup interface reads it.
    const CursorRoleFiles files = ReadCursorInf(WinAnsiCodePage().ToUtf8(infBytes));

    RegistryKey cursors = RegistryKey::Create(HKEY_CURRENT_USER, kCursorsKey);
    if (!cursors)
        return false;
    for (size_t role = 0; role < kCursorRoleCount; ++role) {
        const CursorRole& entry = CursorRoleTable[role];
        if (files[role].empty()) {
            cursors.WriteStringOrThrow(entry.valueName, "");
            continue;
        }
        const std::string path = folder + files[role];
        cursors.WriteStringOrThrow(entry.valueName, path);
        // A file that is missing or no cursor leaves the role's pointer as it is.
        SetSystemCursorFrom(LoadCursorFromFileW(ToWide(path).c_str()), entry.systemCursorId);
    }
    cursors.WriteStringOrThrow("", name);

    RegistryKey schemes = RegistryKey::CreateOrThrow(HKEY_CURRENT_USER, kSchemesKey);
    schemes.WriteStringOrThrow(name, CursorSchemeList(folder, files));

    SystemParametersInfoW(SPI_SETCURSORS, 0, nullptr, SPIF_SENDCHANGE);
    return true;
}

void RestoreDefaultCursors(InstallContext& ctx) {
    if (RegistryKey cursors = RegistryKey::Create(HKEY_CURRENT_USER, kCursorsKey)) {
        const HMODULE program = GetModuleHandleW(nullptr);
        for (size_t role = 0; role < kCursorRoleCount; ++role) {
            cursors.DeleteValue(CursorRoleTable[role].valueName);
            // A resource cursor is shared by the module; the system gets a copy of its own.
            const std::wstring resource = L"CUR_" + std::to_wstring(role);
            if (const HCURSOR builtIn = LoadCursorW(program, resource.c_str()))
                SetSystemCursorFrom(CopyCursor(builtIn), CursorRoleTable[role].systemCursorId);
        }
        cursors.WriteStringOrThrow("", "");
    }
    // The pointers come back from the registry, which now names none: the system's defaults.
    SystemParametersInfoW(SPI_SETCURSORS, 0, nullptr, 0);
    ctx.showMessage("Restored default mouse pointer successfully.", mkInformation);
}

void RemoveCursorSchemeEntry(const std::string& name) {
    if (name.empty())
        return;  // the default value of the list is no scheme
    if (RegistryKey schemes = RegistryKey::OpenToChange(HKEY_CURRENT_USER, kSchemesKey))
        schemes.DeleteValue(name);
}

}  // namespace lumaforge
