#pragma once
#include <string_view>

namespace lumaforge {

// Whether Windows opens a device, not a file, for this file name in every folder, whatever follows
// the first "." and in any case: "cache\icon\NUL.zip" is the null device.
bool IsDeviceName(std::string_view name);

}  // namespace lumaforge
