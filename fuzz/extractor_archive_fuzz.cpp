// The package extractor on well-formed archives built from the input: entry names made of the
// parts that trouble extractors (separators, "..", devices, streams, trailing dots, case twins,
// GBK and UTF-8 names), lying sizes and CRCs, encryption and unknown methods.
#include "extractor_sandbox.h"
#include "support/zip_maker.h"

using namespace lumaforge;
using namespace lumaforge::fuzz;

namespace {
constexpr const char* kParts[] = {
    "a",
    "A",
    "b.txt",
    "..",
    ".",
    "CON",
    "nul.txt",
    "x.",
    "y ",
    "c:",
    "d:e",
    "ü",
    "Ü",
    "中",
    "\xB2\xDD",
    "COM1",
    "lpt\xC2\xB9",
    "",
    "outside",
    "sentinel.txt",
    "old.txt",
    "a",
    "old b.txt",
    "~1",
    "long name with blanks",
    "\xE9\xA3",
    "\xED\xA0\x80",
    "?",
    "*",
    "\x01",
};
constexpr const char* kSeparators[] = {"/", "\\"};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ExtractorSandbox sandbox;
    Input input(data, size);
    const TOverwriteMode mode = input.Byte() & 1 ? TOverwriteMode::Never : TOverwriteMode::Always;
    std::vector<test::RawZipEntry> entries;
    const size_t count = 1 + input.Byte() % 6;
    for (size_t i = 0; i < count && !input.Empty(); ++i) {
        test::RawZipEntry entry;
        const uint8_t shape = input.Byte();
        const size_t parts = 1 + shape % 4;
        for (size_t p = 0; p < parts; ++p) {
            if (p > 0)
                entry.Name += kSeparators[input.Byte() & 1];
            entry.Name += kParts[input.Byte() % std::size(kParts)];
        }
        if (shape & 0x10)
            entry.Name += "/";
        const uint8_t flags = input.Byte();
        entry.Deflate = flags & 1;
        if (flags & 2)
            entry.Flags |= test::kZipFlagUtf8;
        if (flags & 4)
            entry.Flags |= test::kZipFlagEncrypted;
        if ((flags & 0x18) == 0x18)
            entry.Method = static_cast<uint16_t>(input.Byte());
        if ((flags & 0x60) == 0x60)
            entry.Crc = input.Word();
        if ((flags & 0x80) && (shape & 0x20))
            entry.DeclaredSize = input.Word();
        if (shape & 0x40)
            entry.Extra = test::UnicodePathExtra(entry.Name, std::string(input.Until('\n')));
        entry.Data = std::string(input.Until('\0'));
        entries.push_back(std::move(entry));
    }
    sandbox.Run(test::BuildZip(entries), mode);
    return 0;
}
