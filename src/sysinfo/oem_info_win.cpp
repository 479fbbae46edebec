#include "sysinfo/oem_info_win.h"

#include <windows.h>

#include <algorithm>

#include "base/files_win.h"
#include "base/handles_win.h"
#include "base/unicode_win.h"

namespace lumaforge {
namespace {
constexpr char kRunDll[] = "rundll32.exe";
constexpr char kSystemPropertiesCall[] = "shell32.dll,Control_RunDLL sysdm.cpl @1";

// Reads exactly `size` bytes from the file's current position.
bool ReadExactly(HANDLE file, char* into, uint64_t size) {
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<uint64_t>(size, 1u << 20));
        DWORD read = 0;
        if (!ReadFile(file, into, chunk, &read, nullptr) || read == 0)
            return false;
        into += read;
        size -= read;
    }
    return true;
}
}  // namespace

LogoLoad ReadLogoFile(const std::string& path, bool checkSize) {
    LogoLoad load;
    if (!FileExists(path))
        return load;
    const std::wstring widePath = ToWide(path);
    load.found = true;
    load.problem = LogoProblem::kNotBitmap;
    UniqueHandle file(CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size))
        return load;
    const uint64_t fileSize = static_cast<uint64_t>(size.QuadPart);
    std::string head(static_cast<size_t>(std::min<uint64_t>(fileSize, kBmpHeadBytes)), '\0');
    if (!ReadExactly(file.Get(), head.data(), head.size()))
        return load;
    const std::optional<BmpLayout> layout = ParseBmpHeader(head, fileSize);
    if (!layout)
        return load;
    load.problem = checkSize ? CheckLogoSize(layout->width, layout->height) : LogoProblem::kNone;
    if (load.problem != LogoProblem::kNone)
        return load;
    std::string bmp = std::move(head);
    if (layout->dataEnd > bmp.size()) {
        const size_t had = bmp.size();
        bmp.resize(static_cast<size_t>(layout->dataEnd));
        if (!ReadExactly(file.Get(), bmp.data() + had, layout->dataEnd - had)) {
            load.problem = LogoProblem::kNotBitmap;
            return load;
        }
    }
    bmp.resize(static_cast<size_t>(layout->dataEnd));
    // Whatever followed the pixels is not kept, so the header's file size has to match again.
    const auto kept = static_cast<uint32_t>(bmp.size());
    for (int i = 0; i < 4; ++i)
        bmp[2 + i] = static_cast<char>(kept >> (8 * i) & 0xFF);
    load.picture.bmp = std::move(bmp);
    load.picture.layout = *layout;
    return load;
}

std::optional<OemInformation> OemFiles::ReadInformation() const {
    const std::string file = InfoFile();
    if (!FileExists(file))
        return std::nullopt;
    std::string bytes;
    if (!ReadWholeFile(file, bytes))
        bytes.clear();
    return ParseOemInfoText(DecodeMarkedText(bytes, codePage_));
}

std::string OemFiles::InformationBytes(const OemInformation& info) const {
    return EncodeOemInfoFile(BuildOemInfoText(info), codePage_);
}

void OemFiles::OpenSystemProperties() const {
    if (shellExecute_)
        shellExecute_("", paths_.SysPath() + "\\" + kRunDll, kSystemPropertiesCall, SW_SHOWNORMAL);
}

}  // namespace lumaforge
