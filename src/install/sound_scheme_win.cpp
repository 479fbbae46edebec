#include "install/sound_scheme_win.h"

#include <vector>

#include "base/files_win.h"
#include "base/registry_win.h"
#include "base/text.h"
#include "base/unicode_win.h"

namespace lumaforge {
namespace {
constexpr char kSchemesKey[] = "AppEvents\\Schemes";
constexpr char kNamesKey[] = "AppEvents\\Schemes\\Names\\";
// Only these applications' events are restored and cleaned; others keep what they have.
constexpr const char* kApplicationKeys[] = {"AppEvents\\Schemes\\Apps\\.Default", "AppEvents\\Schemes\\Apps\\Explorer"};

// The events of an application, collected before any of them is changed.
std::vector<std::string> EventsOf(const char* applicationKey) {
    const RegistryKey application = RegistryKey::OpenToRead(HKEY_CURRENT_USER, applicationKey);
    return application ? application.SubKeyNames() : std::vector<std::string>();
}

void CopyDefaultSounds(const char* applicationKey) {
    for (const std::string& event : EventsOf(applicationKey)) {
        const std::string eventKey = std::string(applicationKey) + "\\" + event;
        std::string sound;
        bool expandable = false;
        if (const RegistryKey defaultSound = RegistryKey::OpenToRead(HKEY_CURRENT_USER, eventKey + "\\.Default")) {
            sound = defaultSound.ReadString("").value_or("");
            expandable = defaultSound.IsExpandable("");
        }
        if (RegistryKey current = RegistryKey::OpenToChange(HKEY_CURRENT_USER, eventKey + "\\.current"))
            current.WriteStringOrThrow("", sound, expandable);
    }
}

void DeleteSchemeSounds(const char* applicationKey, const std::string& name) {
    for (const std::string& event : EventsOf(applicationKey))
        RegistryKey::DeleteTree(HKEY_CURRENT_USER, std::string(applicationKey) + "\\" + event + "\\" + name);
}

// A scheme's name becomes a registry key name and a folder under Media: anything that would
// reach beyond its own key or folder is no scheme of ours.
bool IsSingleName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find_first_of("\\/") == std::string::npos;
}
}  // namespace

bool RunInfInstall(InstallContext& ctx, const std::string& infPath) {
    // 132: the INF's own folder is the source of its files (128), and a restart is asked for only
    // when one is needed (4). InstallHinfSection takes the rest of the line as the path, unquoted.
    return ctx.shellExecute("open", "rundll32.exe", "setupapi,InstallHinfSection DefaultInstall 132 " + infPath,
                            SW_HIDE) > 32;
}

bool ApplySoundScheme(InstallContext& ctx, const std::string& name) {
    return RunInfInstall(ctx, ctx.paths.SoundSchemeFolder(name) + "install.inf");
}

void RestoreDefaultSoundScheme() {
    {
        RegistryKey schemes = RegistryKey::OpenToChange(HKEY_CURRENT_USER, kSchemesKey);
        if (!schemes)
            return;
        schemes.WriteStringOrThrow("", ".default");
    }
    for (const char* applicationKey : kApplicationKeys)
        CopyDefaultSounds(applicationKey);
}

void RestoreDefaultSounds(InstallContext& ctx) {
    RestoreDefaultSoundScheme();
    ctx.showMessage("Restored default sound scheme successfully.", mkInformation);
}

bool RemoveSoundScheme(InstallContext& ctx, const std::string& name) {
    if (!IsSingleName(name))
        return false;
    bool active = false;
    {
        const RegistryKey schemes = RegistryKey::OpenToRead(HKEY_CURRENT_USER, kSchemesKey);
        if (!schemes)
            return false;
        active = AsciiLower(schemes.ReadString("").value_or("")) == AsciiLower(name);
    }
    if (active)
        RestoreDefaultSoundScheme();
    for (const char* applicationKey : kApplicationKeys)
        DeleteSchemeSounds(applicationKey, name);
    // A registration that resists deletion gets about a second of retries, then it is left.
    for (int attempt = 0; attempt < 101; ++attempt) {
        if (attempt > 0)
            Sleep(10);
        if (RegistryKey::DeleteTree(HKEY_CURRENT_USER, kNamesKey + name))
            break;
    }
    DeleteFolderTree(ctx.paths.InstalledSoundFolder(name));
    return true;
}

}  // namespace lumaforge
