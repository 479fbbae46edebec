#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace lumaforge {

// Makes the shell rebuild its icons by nudging "Shell Icon Size" down by one and back, announcing
// each change. False when the size is missing or not a number.
bool RefreshShellIcons();

// Tells every top-level window that the icon metrics changed, waiting at most 10 s for each.
void BroadcastIconMetrics();

}  // namespace lumaforge
