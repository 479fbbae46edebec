#include "base/ini.h"

#include <gtest/gtest.h>

namespace lumaforge {
namespace {

TEST(Ini, ValuesAsTheProfileFunctionsReadThem) {
    struct {
        const char* text;
        const char* key;
        const char* value;
    } cases[] = {
        {"[Other]\r\nADHomeURL=wrong\r\n[lumaforge]\r\n ADHomeURL = http://h/home \r\n", "ADHomeURL", "http://h/home"},
        {"[Lumaforge]\r\nADHomeURL=x\r\n", "Missing", ""},
        {"", "ADHomeURL", ""},
        {"ADHomeURL=outside\r\n[Lumaforge]\r\n", "ADHomeURL", ""},
        {"[Lumaforge]\r\n;ADHomeURL=commented\r\n", "ADHomeURL", ""},
        // One pair of enclosing quotes goes, of either kind; anything else stays as written.
        {"[Lumaforge]\r\nADHomeURL=\"http://h/q\"\r\n", "ADHomeURL", "http://h/q"},
        {"[Lumaforge]\r\nADHomeURL= 'http://h/q' \r\n", "ADHomeURL", "http://h/q"},
        {"[Lumaforge]\r\nADHomeURL=\"\"a\"\"\r\n", "ADHomeURL", "\"a\""},
        {"[Lumaforge]\r\nADHomeURL=\"http://h/q'\r\n", "ADHomeURL", "\"http://h/q'"},
        {"[Lumaforge]\r\nADHomeURL=\"\r\n", "ADHomeURL", "\""},
        {"[Lumaforge]\r\nADHomeURL=a \"b\"\r\n", "ADHomeURL", "a \"b\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IniValue(c.text, "Lumaforge", c.key), c.value) << c.text;
}

}  // namespace
}  // namespace lumaforge
