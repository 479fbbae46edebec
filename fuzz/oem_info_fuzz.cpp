// oeminfo.ini and oemlogo.bmp as the OEM page reads them.
#include "base/code_page.h"
#include "base/text.h"
#include "fuzz_support.h"
#include "sysinfo/oem_info.h"

using namespace lumaforge;
using namespace lumaforge::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input input(data, size);
    const uint8_t choice = input.Byte();
    const std::string_view bytes = input.Rest();

    if (choice & 1) {
        // A logo: whatever the header says, the picture lies inside the file.
        const uint64_t fileSize = bytes.size() + (choice >> 1) * 1024;
        if (const std::optional<BmpLayout> layout = ParseBmpHeader(bytes.substr(0, kBmpHeadBytes), fileSize)) {
            FUZZ_CHECK(layout->width > 0 && layout->height > 0, Printable(bytes.substr(0, 64)));
            FUZZ_CHECK(layout->pixelOffset <= layout->dataEnd && layout->dataEnd <= fileSize,
                       Printable(bytes.substr(0, 64)));
        }
        return 0;
    }
    // Information: what is read, written back and read again stays the same, as far as the file
    // keeps it (trimmed values, no line breaks inside a value).
    const OemInformation info = ParseOemInfoText(DecodeMarkedText(bytes, Gbk()));
    FUZZ_CHECK(IsValidUtf8(info.manufacturer) && IsValidUtf8(info.model), Printable(bytes));
    const std::string file = EncodeOemInfoFile(BuildOemInfoText(info), Gbk());
    const OemInformation again = ParseOemInfoText(DecodeMarkedText(file, Gbk()));
    auto kept = [](std::string_view value) {
        const std::string_view trimmed = Trim(value);
        // A value in quotes loses them on the next read, as the profile functions read it.
        if (trimmed.size() >= 2 && (trimmed.front() == '"' || trimmed.front() == '\'') &&
            trimmed.back() == trimmed.front())
            return std::string(Trim(trimmed.substr(1, trimmed.size() - 2)));
        return std::string(trimmed);
    };
    if (info.manufacturer.find_first_of("\"'") == std::string::npos &&
        info.model.find_first_of("\"'") == std::string::npos) {
        FUZZ_CHECK(again.manufacturer == kept(info.manufacturer), Printable(bytes));
        FUZZ_CHECK(again.model == kept(info.model), Printable(bytes));
    }
    return 0;
}
