#include "sysinfo/oem_info.h"

#include <gtest/gtest.h>

#include "base/code_page_posix.h"
#include "sysinfo/bmp_maker.h"

namespace lumaforge {
namespace {

using test::BmpShape;
using test::MakeBmp;

TEST(OemInfoTextTest, WritesGeneralThenSupportLinesTrimmed) {
    const OemInformation info{"  Contoso ", "\tModel 7 ", {" Call us ", "", "   ", "多彩"}};
    EXPECT_EQ(BuildOemInfoText(info),
              "[General]\r\n"
              "Manufacturer=Contoso\r\n"
              "Model=Model 7\r\n"
              "\r\n"
              "[Support Information]\r\n"
              "Line1=Call us\r\n"
              "Line2=\r\n"
              "Line3=\r\n"
              "Line4=多彩\r\n");
}

TEST(OemInfoTextTest, NoSupportLinesWritesNoSupportSection) {
    EXPECT_EQ(BuildOemInfoText({"A", "B", {}}), "[General]\r\nManufacturer=A\r\nModel=B\r\n");
}

TEST(OemInfoTextTest, ReadsSupportKeysInFileOrderWhateverTheirNames) {
    const OemInformation info = ParseOemInfoText(
        "; written by hand\r\n"
        "[support information]\r\n"
        "Line3=third\r\n"
        "  Phone = \"555 0100\" \r\n"
        "no equals sign\r\n"
        "Line1=\r\n"
        "; a comment\r\n"
        "Line2=a=b\r\n"
        "[ General ]\n"
        "MODEL='X1'\n"
        "Manufacturer = Fabrikam\n"
        "[Other]\n"
        "Line9=elsewhere\n");
    EXPECT_EQ(info.manufacturer, "Fabrikam");
    EXPECT_EQ(info.model, "X1");
    EXPECT_EQ(info.supportLines, (std::vector<std::string>{"third", "555 0100", "", "a=b"}));
}

TEST(OemInfoTextTest, WhatIsWrittenReadsBack) {
    const OemInformation written{"Contoso", "M", {"one", "", "three"}};
    const OemInformation read = ParseOemInfoText(BuildOemInfoText(written));
    EXPECT_EQ(read.manufacturer, written.manufacturer);
    EXPECT_EQ(read.model, written.model);
    EXPECT_EQ(read.supportLines, written.supportLines);
    EXPECT_TRUE(ParseOemInfoText(BuildOemInfoText({"A", "B", {}})).supportLines.empty());
}

TEST(OemInfoTextTest, ChecksManufacturerBeforeModel) {
    const struct {
        const char* manufacturer;
        const char* model;
        OemInfoProblem problem;
    } cases[] = {
        {"", "", OemInfoProblem::kNoManufacturer}, {" \t ", "M", OemInfoProblem::kNoManufacturer},
        {"A", "", OemInfoProblem::kNoModel},       {"A", "  ", OemInfoProblem::kNoModel},
        {" A ", " M ", OemInfoProblem::kNone},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckOemInformation(c.manufacturer, c.model), c.problem) << c.manufacturer << "|" << c.model;
    EXPECT_EQ(OemInfoProblemMessage(OemInfoProblem::kNoManufacturer), "Manufacturer cannot be empty.");
    EXPECT_EQ(OemInfoProblemMessage(OemInfoProblem::kNoModel), "Model cannot be empty.");
}

TEST(OemInfoFileTest, AnsiWhenTheCodePageHoldsTheTextElseUtf16) {
    const IconvCodePage gbk("CP936");
    // "多彩" in code page 936.
    EXPECT_EQ(EncodeOemInfoFile("a=多彩\r\n", gbk), "a=\xB6\xE0\xB2\xCA\r\n");
    // U+1F600 is in no ANSI code page: the whole file goes to UTF-16 with its mark.
    EXPECT_EQ(EncodeOemInfoFile("a=多\xF0\x9F\x98\x80", gbk), std::string("\xFF\xFE"
                                                                          "a\0=\0\x1A\x59\x3D\xD8\x00\xDE",
                                                                          12));
}

TEST(OemInfoFileTest, WhatIsWrittenReadsBack) {
    const IconvCodePage gbk("CP936");
    for (const std::string text :
         {"[General]\r\nManufacturer=多彩\r\n", "[General]\r\nManufacturer=多\xF0\x9F\x98\x80\r\n"})
        EXPECT_EQ(DecodeMarkedText(EncodeOemInfoFile(text, gbk), gbk), text);
}

std::optional<BmpLayout> Parse(const std::string& file) {
    return ParseBmpHeader(std::string_view(file).substr(0, kBmpHeadBytes), file.size());
}

TEST(BmpHeaderTest, TakesTheBitmapsTheDisplayFunctionsDraw) {
    const struct {
        const char* name;
        BmpShape shape;
        int width, height;
    } cases[] = {
        {"24-bit", {.width = 180, .height = 114}, 180, 114},
        {"top-down", {.width = 3, .height = -2}, 3, 2},
        {"1-bit", {.width = 9, .height = 2, .bitCount = 1}, 9, 2},
        {"8-bit, short palette", {.width = 5, .height = 5, .bitCount = 8, .colorsUsed = 16}, 5, 5},
        {"RLE8", {.width = 300, .height = 3, .bitCount = 8, .compression = 1}, 300, 3},
        {"RLE4", {.width = 7, .height = 3, .bitCount = 4, .compression = 2}, 7, 3},
        {"16-bit fields", {.width = 4, .height = 4, .bitCount = 16, .compression = 3}, 4, 4},
        {"32-bit, v5 header", {.width = 2, .height = 2, .bitCount = 32, .infoSize = 124}, 2, 2},
        {"OS/2 core", {.width = 6, .height = 4, .bitCount = 8, .infoSize = 12}, 6, 4},
        {"bytes after the pixels", {.width = 2, .height = 2, .trailer = "junk"}, 2, 2},
    };
    for (const auto& c : cases) {
        const std::string file = MakeBmp(c.shape);
        const std::optional<BmpLayout> layout = Parse(file);
        ASSERT_TRUE(layout) << c.name;
        EXPECT_EQ(layout->width, c.width) << c.name;
        EXPECT_EQ(layout->height, c.height) << c.name;
        EXPECT_EQ(layout->dataEnd, file.size() - c.shape.trailer.size()) << c.name;
    }
}

TEST(BmpHeaderTest, RefusesWhatCannotBeDrawn) {
    const struct {
        const char* name;
        BmpShape shape;
    } cases[] = {
        {"one pixel row missing", {.width = 4, .height = 4, .cutBytes = 1}},
        {"RLE data cut", {.width = 4, .height = 4, .bitCount = 8, .compression = 1, .cutBytes = 1}},
        {"two planes", {.width = 4, .height = 4, .planes = 2}},
        {"3 bits a pixel", {.width = 4, .height = 4, .bitCount = 3}},
        {"JPEG inside", {.width = 4, .height = 4, .compression = 4}},
        {"RLE8 of 24 bits", {.width = 4, .height = 4, .compression = 1}},
        {"RLE top-down", {.width = 4, .height = -4, .bitCount = 8, .compression = 1}},
        {"zero width", {.width = 0, .height = 4}},
        {"zero height", {.width = 4, .height = 0}},
        {"negative width", {.width = -4, .height = 4}},
        {"header of 64 bytes", {.width = 4, .height = 4, .infoSize = 64}},
        {"300 colours of 8 bits", {.width = 4, .height = 4, .bitCount = 8, .colorsUsed = 300}},
        {"16 bits in a core header", {.width = 4, .height = 4, .bitCount = 16, .infoSize = 12}},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(Parse(MakeBmp(c.shape))) << c.name;

    std::string notBm = MakeBmp({});
    notBm[1] = 'A';
    EXPECT_FALSE(Parse(notBm));
    EXPECT_FALSE(Parse("BM"));
    EXPECT_FALSE(Parse(""));
    // The pixels said to start inside the colour table.
    std::string early = MakeBmp({.width = 2, .height = 2, .bitCount = 8});
    test::PutLe(early, 10, 14 + 40 + 255 * 4, 4);
    EXPECT_FALSE(Parse(early));
}

TEST(LogoSizeTest, AtMost180By114WidthFirst) {
    const struct {
        int width, height;
        LogoProblem problem;
    } cases[] = {
        {180, 114, LogoProblem::kNone},    {1, 1, LogoProblem::kNone},        {181, 114, LogoProblem::kTooWide},
        {180, 115, LogoProblem::kTooHigh}, {200, 200, LogoProblem::kTooWide},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckLogoSize(c.width, c.height), c.problem) << c.width << "x" << c.height;
    EXPECT_EQ(LogoProblemMessage(LogoProblem::kNotBitmap), "Bitmap image is not valid or format error.");
    EXPECT_EQ(LogoProblemMessage(LogoProblem::kTooWide), "Bitmap image width should be less than 180 pixel.");
    EXPECT_EQ(LogoProblemMessage(LogoProblem::kTooHigh), "Bitmap image height should be less than 114 pixel.");
}

}  // namespace
}  // namespace lumaforge
