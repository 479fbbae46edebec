#include "app/main_window_keys.h"

namespace lumaforge {
namespace {
// Virtual-key codes, as Windows numbers them.
constexpr unsigned kKey1 = '1', kKey9 = '9';
constexpr unsigned kNumpad1 = 0x61, kNumpad9 = 0x69;
constexpr unsigned kF5 = 0x74;
// The pages behind the navigation's nine visible buttons, in page order; page 8 has no button.
constexpr int kShortcutPages[] = {0, 1, 2, 3, 4, 5, 6, 7, 9};
}  // namespace

std::optional<MainWindowKey> MainWindowKeyFor(unsigned virtualKey, KeyModifiers modifiers) {
    if (virtualKey == kF5 && !modifiers.control && !modifiers.shift && !modifiers.alt)
        return MainWindowKey{MainWindowKey::Action::FetchCatalog, 0};
    if (!modifiers.control || modifiers.shift || modifiers.alt)
        return std::nullopt;
    int ordinal = -1;
    if (virtualKey >= kKey1 && virtualKey <= kKey9)
        ordinal = static_cast<int>(virtualKey - kKey1);
    else if (virtualKey >= kNumpad1 && virtualKey <= kNumpad9)
        ordinal = static_cast<int>(virtualKey - kNumpad1);
    if (ordinal < 0)
        return std::nullopt;
    return MainWindowKey{MainWindowKey::Action::OpenPage, kShortcutPages[ordinal]};
}

}  // namespace lumaforge
