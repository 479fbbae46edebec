// An icon theme's .config file, as the icon-theme installer reads it.
#include "base/code_page.h"
#include "fuzz_support.h"
#include "install/icon_theme.h"

using namespace lumaforge;
using namespace lumaforge::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input input(data, size);
    const std::string themeFile(input.Until('\n'));
    const std::string_view bytes = input.Rest();

    const std::string text = DecodeMarkedText(bytes, Gbk());
    FUZZ_CHECK(IsValidUtf8(text), Printable(bytes));
    const std::string themePath = ThemePathOf(themeFile);
    FUZZ_CHECK(std::string_view(themeFile).starts_with(themePath), themeFile);
    const IconThemeFile theme(text, themePath);
    auto check = [&](const char* section, const char* key) {
        const std::string location = theme.Location(section, key);
        // Every placeholder is replaced, in any case.
        std::string lowered = location;
        for (char& c : lowered)
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        // Only a placeholder made of what the path brings (or of two halves, without a path) stays.
        if (!themePath.empty() && themePath.find('%') == std::string::npos)
            FUZZ_CHECK(lowered.find("%themepath%") == std::string::npos, location);
    };
    for (const ClsidIconRow& row : ClsidIconTable)
        check(row.section, row.key);
    for (const ShellIconRow& row : ShellIconTable)
        check(row.section, row.key);
    return 0;
}
