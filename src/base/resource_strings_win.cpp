#include "base/resource_strings_win.h"

#include "base/language_module.h"
#include "base/unicode_win.h"

namespace lumaforge {

bool ResourceStrings::LoadLanguageModule(const std::wstring& programPath, LCID locale) {
    wchar_t abbrev[16] = {};
    GetLocaleInfoW(locale, LOCALE_SABBREVLANGNAME, abbrev, 16);
    for (const std::string& candidate : LanguageModuleCandidates(ToUtf8(programPath), ToUtf8(abbrev))) {
        HMODULE module = LoadLibraryExW(ToWide(candidate).c_str(), nullptr,
                                        LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        if (!module)
            module = LoadLibraryExW(ToWide(candidate).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (module) {
            languageModule_.Reset(module);  // releases a module loaded earlier
            return true;
        }
    }
    return false;
}

HMODULE ResourceStrings::Module() const {
    return languageModule_ ? languageModule_.Get() : GetModuleHandleW(nullptr);
}

std::wstring ResourceStrings::Get(UINT id) const {
    const wchar_t* text = nullptr;
    int length = LoadStringW(Module(), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, length) : std::wstring();
}

std::string ResourceStrings::GetUtf8(UINT id) const {
    return ToUtf8(Get(id));
}

}  // namespace lumaforge
