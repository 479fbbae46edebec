#include "sysinfo/oem_info_win.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>

#include "base/files_win.h"
#include "base/handles_win.h"
#include "base/unicode_win.h"

namespace lumaforge {
namespace {
constexpr char kRunDll[] = "rundll32.exe";
constexpr char kSystemPropertiesCall[] = "shell32.dll,Control_RunDLL sysdm.cpl @1";

std::string SystemMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text ? text : L"", length);
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' '))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(error) : ToUtf8(message);
}

[[noreturn]] void RaiseFileError(const char* what, const std::string& path, DWORD error) {
    throw std::runtime_error(std::string("Cannot ") + what + " the file \"" + path + "\": " + SystemMessage(error));
}

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

void ReplaceFileContent(const std::string& path, std::string_view content) {
    const std::wstring target = ToWide(path);
    const size_t slash = target.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"." : target.substr(0, slash);
    wchar_t temp[MAX_PATH] = {};
    if (!GetTempFileNameW(folder.c_str(), L"oem", 0, temp))
        RaiseFileError("write", path, GetLastError());
    bool written = false;
    {
        UniqueHandle file(
            CreateFileW(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD count = 0;
        written = file && WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &count, nullptr) &&
                  count == content.size() && FlushFileBuffers(file.Get());
    }
    if (!written || !MoveFileExW(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(temp);
        RaiseFileError("write", path, error);
    }
}

void DeleteExistingFile(const std::string& path) {
    if (!FileExists(path) || DeleteFileW(ToWide(path).c_str()))
        return;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND)
        RaiseFileError("delete", path, error);
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

void OemFiles::WriteInformation(const OemInformation& info) const {
    ReplaceFileContent(InfoFile(), EncodeOemInfoFile(BuildOemInfoText(info), codePage_));
}

void OemFiles::EraseInformation() const {
    DeleteExistingFile(InfoFile());
}

void OemFiles::WriteLogo(const LogoPicture& picture) const {
    ReplaceFileContent(LogoFile(), picture.bmp);
}

void OemFiles::EraseLogo() const {
    DeleteExistingFile(LogoFile());
}

void OemFiles::OpenSystemProperties() const {
    if (shellExecute_)
        shellExecute_("", paths_.SysPath() + "\\" + kRunDll, kSystemPropertiesCall, SW_SHOWNORMAL);
}

}  // namespace lumaforge
