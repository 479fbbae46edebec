// The catalog config.txt: every name listed can be a file name in the cache.
#include "app/catalog.h"
#include "base/device_names.h"
#include "base/text.h"
#include "fuzz_support.h"

using namespace lumaforge;
using namespace lumaforge::fuzz;

namespace {
void CheckName(const std::string& name, std::string_view text) {
    FUZZ_CHECK(!name.empty() && Trim(name) == name, Printable(text));
    FUZZ_CHECK(IsUsablePackageName(name), Printable(name));
    FUZZ_CHECK(name.find_first_of("\\/:*?\"<>|") == std::string::npos, Printable(name));
    FUZZ_CHECK(name.back() != '.' && name.back() != ' ', Printable(name));
    FUZZ_CHECK(!IsDeviceName(name), Printable(name));
    for (unsigned char c : name)
        FUZZ_CHECK(c >= 0x20, Printable(name));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<Catalog> catalog = ParseCatalog(text);
    if (!catalog)
        return 0;
    for (const CatalogCategory& category : catalog->themes) {
        FUZZ_CHECK(!category.name.empty(), Printable(text));
        for (const std::string& name : category.items)
            CheckName(name, text);
    }
    for (size_t kind = 0; kind < catalog->lists.size(); ++kind) {
        FUZZ_CHECK(kind != static_cast<size_t>(TResourceKind::Theme) || catalog->lists[kind].empty(), Printable(text));
        for (const std::string& name : catalog->lists[kind])
            CheckName(name, text);
    }
    return 0;
}
