#include "base/shell_win.h"

#include <shellapi.h>

#include "base/unicode_win.h"

namespace lumaforge {

intptr_t ShellExecuteUtf8(HWND owner, const std::string& verb, const std::string& file, const std::string& parameters,
                          int showCommand) {
    const std::wstring wideVerb = ToWide(verb);
    const std::wstring wideParameters = ToWide(parameters);
    return reinterpret_cast<intptr_t>(
        ShellExecuteW(owner, verb.empty() ? nullptr : wideVerb.c_str(), ToWide(file).c_str(),
                      parameters.empty() ? nullptr : wideParameters.c_str(), nullptr, showCommand));
}

}  // namespace lumaforge
