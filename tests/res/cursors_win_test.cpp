#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/handles_win.h"

namespace lumaforge {
namespace {

struct BuiltInCursor {
    int role;
    POINT hotspot;
};

// The restore of the default pointers loads "CUR_<role>" from the program itself: one classic
// monochrome 32 by 32 pointer per role, whose hotspot is where the pointer points.
TEST(BuiltInCursorsTest, EveryRoleHasAMonochrome32By32CursorWithItsHotspot) {
    const BuiltInCursor cursors[] = {
        {0, {0, 0}},    {1, {0, 0}},    {2, {0, 0}},    {3, {15, 15}}, {4, {15, 15}},
        {5, {15, 15}},  {6, {1, 1}},    {7, {15, 15}},  {8, {15, 15}}, {9, {15, 15}},
        {10, {15, 15}}, {11, {15, 15}}, {12, {15, 15}}, {13, {15, 1}}, {14, {9, 0}},
    };
    for (const BuiltInCursor& c : cursors) {
        SCOPED_TRACE(c.role);
        const std::wstring name = L"CUR_" + std::to_wstring(c.role);
        // A cursor loaded from resources is shared and is not destroyed.
        HCURSOR cursor = LoadCursorW(GetModuleHandleW(nullptr), name.c_str());
        ASSERT_NE(cursor, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(cursor, &info));
        UniqueGdiObj<HBITMAP> mask(info.hbmMask);
        UniqueGdiObj<HBITMAP> colour(info.hbmColor);
        EXPECT_FALSE(info.fIcon);
        EXPECT_EQ(info.xHotspot, static_cast<DWORD>(c.hotspot.x));
        EXPECT_EQ(info.yHotspot, static_cast<DWORD>(c.hotspot.y));
        // Monochrome: no colour bitmap; the mask holds the AND plane above the XOR plane.
        EXPECT_FALSE(colour);
        BITMAP bits{};
        ASSERT_TRUE(GetObjectW(mask.Get(), sizeof bits, &bits));
        EXPECT_EQ(bits.bmWidth, 32);
        EXPECT_EQ(bits.bmHeight, 64);
    }
    EXPECT_EQ(LoadCursorW(GetModuleHandleW(nullptr), L"CUR_15"), nullptr);
}

}  // namespace
}  // namespace lumaforge
