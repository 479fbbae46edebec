#include "base/device_names.h"

#include <string>

#include "base/text.h"

namespace lumaforge {

bool IsDeviceName(std::string_view name) {
    std::string base = AsciiLower(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    for (std::string_view device : {"con", "prn", "aux", "nul", "conin$", "conout$"}) {
        if (base == device)
            return true;
    }
    if (base.size() < 4 || (base.compare(0, 3, "com") != 0 && base.compare(0, 3, "lpt") != 0))
        return false;
    const std::string_view number = std::string_view(base).substr(3);
    // Windows counts the superscript digits one to three as digits here too.
    return (number.size() == 1 && number[0] >= '1' && number[0] <= '9') || number == "\xC2\xB9" ||
           number == "\xC2\xB2" || number == "\xC2\xB3";
}

}  // namespace lumaforge
