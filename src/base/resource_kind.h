#pragma once
#include <array>
#include <optional>
#include <string_view>

namespace lumaforge {

// The six resource kinds; the number is the Tag of the kind's list.
enum class TResourceKind : int { Theme = 0, Logon = 1, Cursor = 2, ScreenSaver = 3, Icon = 4, Sound = 5 };
inline constexpr int kResourceKindCount = 6;

// The key of a kind in cache paths and server paths; nothing for a number outside 0-5.
constexpr std::optional<std::string_view> KindName(int kind) {
    constexpr std::array<std::string_view, kResourceKindCount> kNames = {"theme",      "logon", "cursor",
                                                                         "screensave", "icon",  "sound"};
    if (kind < 0 || kind >= kResourceKindCount)
        return std::nullopt;
    return kNames[kind];
}

}  // namespace lumaforge
