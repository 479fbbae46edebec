#pragma once
#include <windows.h>

#include <string>

#include "base/handles_win.h"

namespace lumaforge {

// The program's resource strings: the executable's own, or those of a language module loaded
// beside it, which then answers every later lookup.
class ResourceStrings {
public:
    // Tries the module files for the locale's language next to `programPath`. Without a module
    // the program's own strings stay in use. Returns whether a module was loaded.
    bool LoadLanguageModule(const std::wstring& programPath, LCID locale);
    bool HasLanguageModule() const { return static_cast<bool>(languageModule_); }

    std::wstring Get(UINT id) const;
    std::string GetUtf8(UINT id) const;

private:
    HMODULE Module() const;
    UniqueModule languageModule_;
};

}  // namespace lumaforge
