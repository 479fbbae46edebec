// A cursor scheme's setup.inf.
#include "base/text.h"
#include "fuzz_support.h"
#include "install/cursor_scheme.h"

using namespace lumaforge;
using namespace lumaforge::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const CursorRoleFiles files = ReadCursorInf(text);
    for (const std::string& file : files) {
        // The section is read lowered, and values are parts of single lines.
        FUZZ_CHECK(AsciiLower(file) == file, Printable(text));
        FUZZ_CHECK(file.find_first_of("\r\n") == std::string::npos, Printable(text));
        FUZZ_CHECK(file.size() <= text.size(), Printable(text));
    }
    const std::string list = CursorSchemeList("C:\\Windows\\Cursors\\x\\", files);
    size_t commas = 0;
    for (char c : list)
        commas += c == ',';
    size_t inFiles = 0;
    for (const std::string& file : files)
        for (char c : file)
            inFiles += c == ',';
    FUZZ_CHECK(commas == files.size() - 1 + inFiles, list);
    return 0;
}
