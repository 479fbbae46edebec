#include "sysinfo/oem_info.h"

#include "base/ini.h"
#include "base/little_endian.h"
#include "base/text.h"

namespace lumaforge {
namespace {
constexpr char kGeneral[] = "General";
constexpr char kSupport[] = "Support Information";

constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3;
}  // namespace

std::string OemInfoFile(std::string_view systemFolder) {
    return std::string(systemFolder) + "\\" + kOemInfoFileName;
}

std::string OemLogoFile(std::string_view systemFolder) {
    return std::string(systemFolder) + "\\" + kOemLogoFileName;
}

OemInfoProblem CheckOemInformation(std::string_view manufacturer, std::string_view model) {
    if (Trim(manufacturer).empty())
        return OemInfoProblem::kNoManufacturer;
    if (Trim(model).empty())
        return OemInfoProblem::kNoModel;
    return OemInfoProblem::kNone;
}

std::string_view OemInfoProblemMessage(OemInfoProblem problem) {
    switch (problem) {
        case OemInfoProblem::kNoManufacturer:
            return "Manufacturer cannot be empty.";
        case OemInfoProblem::kNoModel:
            return "Model cannot be empty.";
        case OemInfoProblem::kNone:
            break;
    }
    return {};
}

std::string BuildOemInfoText(const OemInformation& info) {
    std::vector<std::string> lines = {
        std::string("[") + kGeneral + "]",
        "Manufacturer=" + std::string(Trim(info.manufacturer)),
        "Model=" + std::string(Trim(info.model)),
    };
    if (!info.supportLines.empty()) {
        lines.emplace_back();
        lines.push_back(std::string("[") + kSupport + "]");
        int number = 0;
        for (const std::string& line : info.supportLines)
            lines.push_back("Line" + std::to_string(++number) + "=" + std::string(Trim(line)));
    }
    return JoinLines(lines);
}

OemInformation ParseOemInfoText(std::string_view text) {
    OemInformation info;
    info.manufacturer = IniValue(text, kGeneral, "Manufacturer");
    info.model = IniValue(text, kGeneral, "Model");
    for (IniEntry& entry : IniSection(text, kSupport))
        info.supportLines.push_back(std::move(entry.value));
    return info;
}

std::string EncodeOemInfoFile(std::string_view text, const AnsiCodePage& codePage) {
    return EncodeAnsiOrUtf16(text, codePage);
}

std::optional<BmpLayout> ParseBmpHeader(std::string_view head, uint64_t fileSize) {
    constexpr size_t kFileHeader = 14;
    if (head.size() < kFileHeader + 12 || !head.starts_with("BM") || fileSize < head.size())
        return std::nullopt;
    const uint32_t pixelOffset = ReadLittleEndian(head, 10, 4);
    const uint32_t infoSize = ReadLittleEndian(head, kFileHeader, 4);
    // The core header of OS/2 and the Windows headers of versions 1, 4 and 5: the ones the
    // display functions take.
    if (infoSize != 12 && infoSize != 40 && infoSize != 108 && infoSize != 124)
        return std::nullopt;
    if (head.size() < kFileHeader + infoSize)
        return std::nullopt;
    const bool core = infoSize == 12;
    const size_t at = kFileHeader + 4;
    int64_t width = 0, height = 0;
    uint32_t planes = 0, bitCount = 0, compression = kBiRgb, sizeImage = 0, colorsUsed = 0;
    if (core) {
        width = ReadLittleEndian(head, at, 2);
        height = ReadLittleEndian(head, at + 2, 2);
        planes = ReadLittleEndian(head, at + 4, 2);
        bitCount = ReadLittleEndian(head, at + 6, 2);
    } else {
        width = static_cast<int32_t>(ReadLittleEndian(head, at, 4));
        height = static_cast<int32_t>(ReadLittleEndian(head, at + 4, 4));
        planes = ReadLittleEndian(head, at + 8, 2);
        bitCount = ReadLittleEndian(head, at + 10, 2);
        compression = ReadLittleEndian(head, at + 12, 4);
        sizeImage = ReadLittleEndian(head, at + 16, 4);
        colorsUsed = ReadLittleEndian(head, at + 28, 4);
    }
    const bool topDown = height < 0;
    if (topDown)
        height = -height;
    if (planes != 1 || width <= 0 || height <= 0 || height > INT32_MAX)
        return std::nullopt;
    const bool depthFits = bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 24 ||
                           (!core && (bitCount == 16 || bitCount == 32));
    if (!depthFits)
        return std::nullopt;
    switch (compression) {
        case kBiRgb:
            break;
        case kBiRle8:
        case kBiRle4:
            // Run-length pixels run bottom-up only, with their own depth.
            if (topDown || bitCount != (compression == kBiRle8 ? 8u : 4u) || sizeImage == 0)
                return std::nullopt;
            break;
        case kBiBitfields:
            if (bitCount != 16 && bitCount != 32)
                return std::nullopt;
            break;
        default:
            return std::nullopt;
    }
    const uint64_t maxColors = bitCount <= 8 ? uint64_t{1} << bitCount : 0;
    if (bitCount <= 8 && colorsUsed > maxColors)
        return std::nullopt;
    const uint64_t colors = colorsUsed ? colorsUsed : maxColors;
    const uint64_t masks = compression == kBiBitfields && infoSize == 40 ? 12 : 0;
    const uint64_t tablesEnd = kFileHeader + infoSize + masks + colors * (core ? 3 : 4);
    if (pixelOffset < tablesEnd || pixelOffset > fileSize)
        return std::nullopt;
    const uint64_t available = fileSize - pixelOffset;
    uint64_t pixelBytes = sizeImage;
    if (compression == kBiRgb || compression == kBiBitfields) {
        // Below 2^64 for any width and height of 31 bits.
        const uint64_t stride = (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
        pixelBytes = stride * static_cast<uint64_t>(height);
    }
    if (pixelBytes > available)
        return std::nullopt;
    BmpLayout layout;
    layout.width = static_cast<int>(width);
    layout.height = static_cast<int>(height);
    layout.pixelOffset = pixelOffset;
    layout.dataEnd = pixelOffset + pixelBytes;
    return layout;
}

LogoProblem CheckLogoSize(int width, int height) {
    if (width > kMaxLogoWidth)
        return LogoProblem::kTooWide;
    if (height > kMaxLogoHeight)
        return LogoProblem::kTooHigh;
    return LogoProblem::kNone;
}

std::string_view LogoProblemMessage(LogoProblem problem) {
    switch (problem) {
        case LogoProblem::kNotBitmap:
            return "Bitmap image is not valid or format error.";
        case LogoProblem::kTooWide:
            return "Bitmap image width should be less than 180 pixel.";
        case LogoProblem::kTooHigh:
            return "Bitmap image height should be less than 114 pixel.";
        case LogoProblem::kNone:
            break;
    }
    return {};
}

}  // namespace lumaforge
