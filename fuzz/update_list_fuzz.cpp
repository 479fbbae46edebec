// The updater's list and the address of its page.
#include "base/text.h"
#include "fuzz_support.h"
#include "sysinfo/update_list.h"

using namespace lumaforge;
using namespace lumaforge::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input input(data, size);
    const std::string_view listAddress = input.Until('\n');
    const std::string_view text = input.Rest();

    if (const std::optional<FileVersion> version = ParseFileVersion(text))
        FUZZ_CHECK(ParseFileVersion(version->ToString()) == version, Printable(text));
    const std::optional<UpdateNotice> notice = ParseUpdateList(text);
    if (!notice)
        return 0;
    FUZZ_CHECK(!notice->page.empty(), Printable(text));
    // Never anything but a web page: no file, no program.
    const std::string page = ResolvePageAddress(listAddress, notice->page);
    const std::string lowered = AsciiLower(page);
    FUZZ_CHECK(page.empty() || lowered.starts_with("http://") || lowered.starts_with("https://"), page);
    return 0;
}
