// INI values as the profile functions read them.
#include "base/ini.h"
#include "base/text.h"
#include "fuzz_support.h"

using namespace lumaforge;
using namespace lumaforge::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input input(data, size);
    const std::string_view section = input.Until('\n');
    const std::string_view key = input.Until('\n');
    const std::string_view text = input.Rest();

    const std::vector<IniEntry> entries = IniSection(text, section);
    const std::string value = IniValue(text, section, key);
    // The value is that of the first entry of the key, blanks and one pair of quotes gone.
    const IniEntry* first = nullptr;
    for (const IniEntry& entry : entries) {
        FUZZ_CHECK(Trim(entry.key) == entry.key, Printable(text));
        FUZZ_CHECK(entry.key.find('=') == std::string::npos, Printable(text));
        if (!first && AsciiLower(entry.key) == AsciiLower(key))
            first = &entry;
    }
    FUZZ_CHECK(value == (first ? first->value : std::string()), Printable(text));
    FUZZ_CHECK(value.size() <= text.size(), Printable(text));
    return 0;
}
