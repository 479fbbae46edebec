#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumaforge {

// What an edit box accepts: free text, decimal digits, a formatted decimal number, hex digits.
enum TValueType : uint8_t { vtString = 0, vtNumberOnly = 1, vtFloat = 2, vtHex = 3 };

// The numeric settings of an edit box. Texts are UTF-8 and positions are byte offsets; the numbers
// themselves are plain ASCII, always with "." and "," whatever the user's locale says.
struct ValueSetting {
    TValueType valueType = vtString;
    bool showThousands = false;
    // "." typed in front of an existing point moves the point there, dropping the digits between.
    bool autoCutDecimal = false;
    bool acceptMinus = false;
    uint8_t decimalPlaces = 2;  // 0: whole numbers, no point
    uint8_t integerLength = 8;
    bool hideZeroValue = false;
};

// The number format the settings stand for, "#,0.00" style ("0.00" by default).
std::string FormatStr(const ValueSetting& setting);
// The longest text a vtFloat edit holds: integer digits, their separators, the point and decimals.
int MaxLength(const ValueSetting& setting);

// The number in a text: "," removed and blanks trimmed; nothing when the rest is no decimal
// number (an exponent is allowed, "inf" and "nan" are not).
std::optional<double> ParseNumber(std::string_view text);
// As ParseNumber, with 0 for an empty or unconvertible text.
double ParseValue(std::string_view text);
// The value in FormatStr's format, rounded half away from zero on the value's shortest decimal
// form (so 1.005 gives "1.01"); a value that rounds to zero carries no sign.
std::string FormatValue(double value, const ValueSetting& setting);
// What a vtFloat edit shows for a value: empty for 0 with hideZeroValue, else FormatValue.
std::string DisplayText(double value, const ValueSetting& setting);
// The shortest plain decimal text that reads back as the value ("0.1", "-12", "1e+20" stays
// "100000000000000000000"): how the other modes show a number.
std::string ShortestText(double value);

// What the edit does with one typed character or the Delete key.
struct KeyOutcome {
    bool passOn = false;    // the window handles the key itself, as if nothing were in between
    bool beep = false;      // refused; with modified false nothing changes
    bool modified = false;  // the key is consumed and `text` with the caret at `caret` replaces the edit's
    std::string text;
    size_t caret = 0;
};

// A character typed into a text whose selection runs from selStart to selEnd (equal: a caret).
// Ctrl+A, Ctrl+C, Ctrl+V, Ctrl+X and Ctrl+Z always pass on.
KeyOutcome TypeKey(const ValueSetting& setting, std::string_view text, size_t selStart, size_t selEnd, char32_t key,
                   bool readOnly);
// The Delete key; only vtFloat handles it itself.
KeyOutcome DeleteKey(const ValueSetting& setting, std::string_view text, size_t selStart, size_t selEnd, bool readOnly);

// What the edit does with pasted clipboard text.
struct PasteOutcome {
    enum Action : uint8_t {
        kPassOn,            // the window pastes as usual
        kReplaceSelection,  // `text` replaces the selection
        kReplaceAll,        // `text` replaces the whole text
        kRefuse,            // nothing changes (with a beep)
    };
    Action action = kPassOn;
    std::string text;
};
// `editLimit` is the edit's own length limit in characters, 0 for none.
PasteOutcome PasteText(const ValueSetting& setting, std::string_view clipboard, size_t editLimit);

}  // namespace lumaforge
