#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "install/install_transaction.h"

namespace lumaforge {

// The registry writes of an INF's "DefaultInstall" section, read from its AddReg sections as the
// platform's setup interface makes them, so that they can be journaled before it runs. Only what
// can be told for certain is read: the roots HKCU and HKLM, and the flags 0 (a string), 0x20000
// (an expandable string), 0x10001 (a number) and 0x10 (the key only), each possibly with 0x2
// (only when the value is missing: `noClobber`). The strings of [Strings] and the folders %10%
// (Windows) and %11% (system) are put in; "%%" is a percent sign.
struct InfRegistryWrite {
    InstallTransaction::ValueWrite write;
    bool noClobber = false;
};
std::vector<InfRegistryWrite> ReadInfRegistryWrites(std::string_view infText, std::string_view winPath,
                                                    std::string_view sysPath);

}  // namespace lumaforge
