#include "controls/edit_value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace lumaforge {
namespace {

// Edit states written as the user sees them: "|" is the caret, "[...]" a selection.
struct Marked {
    std::string text;
    size_t start = 0, end = 0;
};

Marked Parse(std::string_view marked) {
    Marked m;
    for (char c : marked) {
        if (c == '|') {
            m.start = m.end = m.text.size();
        } else if (c == '[') {
            m.start = m.text.size();
        } else if (c == ']') {
            m.end = m.text.size();
        } else {
            m.text += c;
        }
    }
    return m;
}

std::string Show(const KeyOutcome& outcome) {
    if (outcome.passOn)
        return "pass";
    if (!outcome.modified)
        return outcome.beep ? "beep" : "none";
    return outcome.text.substr(0, outcome.caret) + "|" + outcome.text.substr(outcome.caret);
}

ValueSetting Float() {
    ValueSetting setting;
    setting.valueType = vtFloat;
    return setting;
}

ValueSetting With(void (*change)(ValueSetting&)) {
    ValueSetting setting = Float();
    change(setting);
    return setting;
}

constexpr char32_t kBack = 8;

TEST(EditValueTest, FormatAndMaxLengthFollowTheSettings) {
    const struct {
        bool thousands;
        uint8_t places, integers;
        const char* format;
        int maxLength;
        const char* widest;  // a value of full length, to show the length is right
    } cases[] = {
        {false, 2, 8, "0.00", 11, "12345678.00"},    {true, 2, 9, "#,0.00", 14, "123,456,789.00"},
        {true, 2, 8, "#,0.00", 13, "12,345,678.00"}, {true, 0, 6, "#,0", 7, "123,456"},
        {true, 0, 7, "#,0", 9, "1,234,567"},         {false, 0, 3, "0", 3, "999"},
        {false, 4, 1, "0.0000", 6, "1.0000"},
    };
    for (const auto& c : cases) {
        ValueSetting setting = Float();
        setting.showThousands = c.thousands;
        setting.decimalPlaces = c.places;
        setting.integerLength = c.integers;
        EXPECT_EQ(FormatStr(setting), c.format);
        EXPECT_EQ(MaxLength(setting), c.maxLength) << c.format << " " << int(c.integers);
        EXPECT_EQ(static_cast<int>(std::string(c.widest).size()), c.maxLength);
        EXPECT_EQ(FormatValue(ParseValue(c.widest), setting), c.widest);
    }
}

TEST(EditValueTest, ParsingDropsSeparatorsAndRefusesWhatIsNoNumber) {
    const struct {
        const char* text;
        std::optional<double> value;
    } cases[] = {
        {" 1,234.5 ", 1234.5},
        {"-.5", -0.5},
        {"+3", 3},
        {"1e3", 1000},
        {"7.", 7},
        {"", std::nullopt},
        {"  ", std::nullopt},
        {"abc", std::nullopt},
        {"1.2.3", std::nullopt},
        {"12abc", std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {"1 000", std::nullopt},
        {"0x1F", std::nullopt},
        {"-", std::nullopt},
        {"++1", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseNumber(c.text), c.value) << "'" << c.text << "'";
        EXPECT_EQ(ParseValue(c.text), c.value.value_or(0)) << "'" << c.text << "'";
    }
}

TEST(EditValueTest, FormattingRoundsTheDecimalFormHalfAwayFromZero) {
    const ValueSetting plain = Float();
    const ValueSetting thousands = With([](ValueSetting& s) { s.showThousands = true; });
    const ValueSetting whole = With([](ValueSetting& s) { s.decimalPlaces = 0; });
    const struct {
        double value;
        const ValueSetting& setting;
        const char* text;
    } cases[] = {
        {0, plain, "0.00"},
        {1.005, plain, "1.01"},  // binary 1.00499999... still reads as typed
        {0.125, plain, "0.13"},
        {-2.5, plain, "-2.50"},
        {-0.001, plain, "0.00"},  // no "-0.00"
        {-0.0, plain, "0.00"},
        {999.995, plain, "1000.00"},
        {1234567.891, thousands, "1,234,567.89"},
        {999999.996, thousands, "1,000,000.00"},
        {-1234, thousands, "-1,234.00"},
        {123, thousands, "123.00"},
        {2.5, whole, "3"},
        {-2.5, whole, "-3"},
        {1e20, whole, "100000000000000000000"},
        {std::numeric_limits<double>::quiet_NaN(), plain, "0.00"},
        {std::numeric_limits<double>::infinity(), plain, "0.00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatValue(c.value, c.setting), c.text) << c.value;

    const ValueSetting hidden = With([](ValueSetting& s) { s.hideZeroValue = true; });
    EXPECT_EQ(DisplayText(0, hidden), "");
    EXPECT_EQ(DisplayText(0.001, hidden), "0.00");
    EXPECT_EQ(DisplayText(0, plain), "0.00");
    EXPECT_EQ(ShortestText(0.1), "0.1");
    EXPECT_EQ(ShortestText(-12), "-12");
    EXPECT_EQ(ShortestText(1e20), "100000000000000000000");
}

TEST(EditValueTest, TypingIntoAFloatBox) {
    const ValueSetting plain = Float();
    const ValueSetting minus = With([](ValueSetting& s) { s.acceptMinus = true; });
    const ValueSetting cut = With([](ValueSetting& s) { s.autoCutDecimal = true; });
    const ValueSetting whole = With([](ValueSetting& s) { s.decimalPlaces = 0; });
    const ValueSetting thousands = With([](ValueSetting& s) { s.showThousands = true; });
    const ValueSetting oneDigit = With([](ValueSetting& s) { s.integerLength = 1; });
    const ValueSetting threeWhole = With([](ValueSetting& s) {
        s.decimalPlaces = 0;
        s.integerLength = 3;
    });
    const struct {
        const char* before;
        char32_t key;
        const ValueSetting& setting;
        const char* after;  // "beep", "none", "pass" or the new text with its caret
    } cases[] = {
        // Digits: the typed digit replaces a leading zero, and in the decimals overwrites the
        // digit after it; the caret stays right after the typed digit.
        {"0|.00", '5', plain, "5|.00"},
        {"0.0|0", '7', plain, "0.07|"},
        {"0.1|8", '7', plain, "0.17|"},
        {"0.|18", '7', plain, "0.7|1"},
        {"0.00|", '5', plain, "beep"},
        {"|0.00", '5', plain, "5|0.00"},
        {"[12.34]", '5', plain, "5|.00"},
        {"1[2.3]4", '9', plain, "19|4.00"},
        {"|", '5', plain, "5|.00"},
        {"|", '.', plain, "0.|00"},
        // The integer part is full: a further digit is refused; a leading zero going away
        // leaves room.
        {"|12345678.00", '9', plain, "beep"},
        {"0|.00", '5', oneDigit, "5|.00"},
        {"12|3", '4', threeWhole, "beep"},
        {"|1,234,567.00", '9', thousands, "9|1,234,567.00"},
        {"1,234,56|7.00", '9', thousands, "12,345,69|7.00"},
        {"|12,345,678.00", '9', thousands, "beep"},
        // Minus: only in front, only when allowed, and it stays on a zero.
        {"|0.00", '-', plain, "beep"},
        {"|0.00", '-', minus, "-|0.00"},
        {"-0|.00", '5', minus, "-5|.00"},
        {"|5.00", '-', minus, "-|5.00"},
        {"5|.00", '-', minus, "beep"},
        {"|-5.00", '-', minus, "beep"},
        {"[-5].00", '-', minus, "-0|.00"},
        // Point: one only; typed in front of the point it moves the point with autoCutDecimal.
        {"12|", '.', whole, "beep"},
        {"1.2|5", '.', plain, "beep"},
        {"1|23.45", '.', plain, "beep"},
        {"1|23.45", '.', cut, "1.|45"},
        {"[123.4]5", '.', plain, "0.|50"},
        // Backspace: one character, a separator together with its digit.
        {"12|3.45", kBack, plain, "1|3.45"},
        {"1.23|", kBack, plain, "1.2|0"},
        {"1,|234.00", kBack, thousands, "|234.00"},
        {"-|5.00", kBack, minus, "|5.00"},
        {"|5.00", kBack, plain, "|5.00"},
        {"[5.00]", kBack, plain, "0|.00"},
        {"12.|34", kBack, plain, "12|34.00"},
        // Anything else is refused.
        {"0|.00", 'a', plain, "beep"},
        {"0|.00", ' ', plain, "beep"},
        {"0|.00", 13, plain, "beep"},
        {"0|.00", U'中', plain, "beep"},
        {"0|.00", 3, plain, "pass"},   // Ctrl+C
        {"0|.00", 22, plain, "pass"},  // Ctrl+V
    };
    for (const auto& c : cases) {
        const Marked m = Parse(c.before);
        EXPECT_EQ(Show(TypeKey(c.setting, m.text, m.start, m.end, c.key, false)), c.after)
            << c.before << " + " << static_cast<unsigned>(c.key);
    }
}

TEST(EditValueTest, TheOtherModesAndReadOnlyBoxes) {
    ValueSetting text;
    ValueSetting digits;
    digits.valueType = vtNumberOnly;
    ValueSetting hex;
    hex.valueType = vtHex;
    const ValueSetting number = Float();
    const struct {
        const ValueSetting& setting;
        char32_t key;
        bool readOnly;
        const char* verdict;
    } cases[] = {
        {text, 'a', false, "pass"},  {text, 13, false, "pass"},   {digits, 'a', false, "pass"},
        {hex, 'f', false, "pass"},   {hex, 'F', false, "pass"},   {hex, '9', false, "pass"},
        {hex, kBack, false, "pass"}, {hex, 'g', false, "beep"},   {hex, '-', false, "beep"},
        {hex, '9', true, "beep"},    {number, '5', true, "beep"}, {number, kBack, true, "beep"},
        {number, 3, true, "pass"},   {number, 1, true, "pass"},   {hex, 26, true, "pass"},
        {hex, 24, false, "pass"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Show(TypeKey(c.setting, "1", 1, 1, c.key, c.readOnly)), c.verdict)
            << int(c.setting.valueType) << " " << static_cast<unsigned>(c.key) << " " << c.readOnly;
}

TEST(EditValueTest, DeleteKeyInAFloatBox) {
    const ValueSetting plain = Float();
    const ValueSetting thousands = With([](ValueSetting& s) { s.showThousands = true; });
    const struct {
        const char* before;
        const ValueSetting& setting;
        const char* after;
    } cases[] = {
        {"12.|34", plain, "12.|40"},  {"12|.34", plain, "12|34.00"}, {"1|,234.00", thousands, "1|34.00"},
        {"1[2.3]4", plain, "1|4.00"}, {"1.00|", plain, "1.00|"},     {"|0.00", plain, "0|.00"},
    };
    for (const auto& c : cases) {
        const Marked m = Parse(c.before);
        EXPECT_EQ(Show(DeleteKey(c.setting, m.text, m.start, m.end, false)), c.after) << c.before;
    }
    EXPECT_EQ(Show(DeleteKey(plain, "1.00", 0, 0, true)), "pass");
    EXPECT_EQ(Show(DeleteKey(ValueSetting{}, "abc", 0, 0, false)), "pass");
}

TEST(EditValueTest, PastingReplacesTheWholeTextWhenItFits) {
    ValueSetting text;
    ValueSetting digits;
    digits.valueType = vtNumberOnly;
    ValueSetting hex;
    hex.valueType = vtHex;
    const ValueSetting number = Float();
    const ValueSetting minus = With([](ValueSetting& s) { s.acceptMinus = true; });
    const ValueSetting hidden = With([](ValueSetting& s) { s.hideZeroValue = true; });
    using P = PasteOutcome;
    const struct {
        const ValueSetting& setting;
        const char* clipboard;
        size_t limit;
        P::Action action;
        const char* text;
    } cases[] = {
        {text, "any text", 0, P::kPassOn, ""},
        {text, "first\r\nsecond", 0, P::kReplaceSelection, "first"},
        {text, "\nsecond", 0, P::kReplaceSelection, ""},
        {digits, " 0123 ", 0, P::kReplaceAll, "0123"},
        {digits, " 0123 ", 6, P::kReplaceAll, "0123"},
        {digits, " 0123 ", 5, P::kRefuse, ""},
        {digits, "12a", 0, P::kRefuse, ""},
        {digits, "1.5", 0, P::kRefuse, ""},
        {digits, "  ", 0, P::kRefuse, ""},
        {hex, "Ff09", 0, P::kReplaceAll, "Ff09"},
        {hex, "fg", 0, P::kRefuse, ""},
        {number, "1,234.5", 0, P::kReplaceAll, "1234.50"},
        {number, "  7 ", 0, P::kReplaceAll, "7.00"},
        {number, "abc", 0, P::kRefuse, ""},
        {number, "-5", 0, P::kRefuse, ""},
        {minus, "-5", 0, P::kReplaceAll, "-5.00"},
        {hidden, "0", 0, P::kReplaceAll, ""},
        {number, "0", 0, P::kReplaceAll, "0.00"},
        {number, "12345678.994", 0, P::kReplaceAll, "12345678.99"},
        {number, "123456789", 0, P::kRefuse, ""},
    };
    for (const auto& c : cases) {
        const PasteOutcome outcome = PasteText(c.setting, c.clipboard, c.limit);
        EXPECT_EQ(outcome.action, c.action) << c.clipboard;
        EXPECT_EQ(outcome.text, c.text) << c.clipboard;
    }
}

}  // namespace
}  // namespace lumaforge
