#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/code_page.h"

namespace lumaforge {

// The computer maker's support information that System Properties shows on its General page. It
// lives in the system folder: the text in oeminfo.ini, the logo in oemlogo.bmp.
struct OemInformation {
    std::string manufacturer;
    std::string model;
    std::vector<std::string> supportLines;
};

inline constexpr char kOemInfoFileName[] = "oeminfo.ini";
inline constexpr char kOemLogoFileName[] = "oemlogo.bmp";

// The two files in a system folder given without trailing backslash.
std::string OemInfoFile(std::string_view systemFolder);
std::string OemLogoFile(std::string_view systemFolder);

// Why the text information cannot be written; the manufacturer is checked first. Blanks alone
// count as empty.
enum class OemInfoProblem { kNone, kNoManufacturer, kNoModel };
OemInfoProblem CheckOemInformation(std::string_view manufacturer, std::string_view model);
std::string_view OemInfoProblemMessage(OemInfoProblem problem);

// oeminfo.ini as the program writes it, every line ended by CR LF: "[General]" with the
// manufacturer and the model, then, only when there is a support line at all, an empty line and
// "[Support Information]" with "Line1=" onwards. Every value is written without surrounding blanks;
// an empty support line is written as a key with nothing after the equals sign.
std::string BuildOemInfoText(const OemInformation& info);

// oeminfo.ini as System Properties reads it: "Manufacturer" and "Model" of [General]; every key of
// [Support Information] in the order of the file, whatever its name, one support line each.
// Sections and keys are matched without regard to case and blanks, and a value loses one pair of
// enclosing quotes, as the profile functions read them.
OemInformation ParseOemInfoText(std::string_view text);

// The bytes of the file for a text: in the ANSI code page when it holds every character, as the
// system's own tools write it; otherwise UTF-16 with its byte order mark, which the profile
// functions read too, rather than losing characters to question marks.
std::string EncodeOemInfoFile(std::string_view text, const AnsiCodePage& codePage);

// The largest logo System Properties has room for.
inline constexpr int kMaxLogoWidth = 180;
inline constexpr int kMaxLogoHeight = 114;

// Where the parts of a BMP file lie, from its headers.
struct BmpLayout {
    int width = 0;
    int height = 0;  // always positive, also for a picture stored top-down
    // The pixels start at `pixelOffset`; everything the picture needs ends at `dataEnd`.
    uint64_t pixelOffset = 0;
    uint64_t dataEnd = 0;
};

// How many bytes of a file ParseBmpHeader needs at most: both headers, the bit masks and the
// largest colour table.
inline constexpr size_t kBmpHeadBytes = 14 + 124 + 12 + 256 * 4;

// The layout of a BMP file from its first bytes (`head`, up to kBmpHeadBytes) and its size;
// nothing when the file is no bitmap the system can draw: a header of an unknown size, a bit depth
// or compression the display functions do not take (JPEG or PNG inside), an empty picture, or
// pixels missing from the end of the file.
std::optional<BmpLayout> ParseBmpHeader(std::string_view head, uint64_t fileSize);

// Why a picture cannot be the logo; the width is checked first.
enum class LogoProblem { kNone, kNotBitmap, kTooWide, kTooHigh };
LogoProblem CheckLogoSize(int width, int height);
std::string_view LogoProblemMessage(LogoProblem problem);

}  // namespace lumaforge
