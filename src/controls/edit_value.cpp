#include "controls/edit_value.h"

#include <charconv>
#include <cmath>

#include "base/text.h"

namespace lumaforge {
namespace {
constexpr char32_t kBackspace = 8;
// Select all, copy, paste, cut and undo reach the window in every mode.
constexpr char32_t kControlKeys[] = {1, 3, 22, 24, 26};

bool IsDigit(char32_t c) {
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char32_t c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

KeyOutcome PassOn() {
    KeyOutcome outcome;
    outcome.passOn = true;
    return outcome;
}

KeyOutcome Refuse() {
    KeyOutcome outcome;
    outcome.beep = true;
    return outcome;
}

size_t CountDigits(std::string_view text) {
    size_t count = 0;
    for (char c : text)
        count += IsDigit(static_cast<unsigned char>(c)) ? 1 : 0;
    return count;
}

// Where the caret of the raw text lands in its formatted form. A caret in the decimals keeps the
// number of decimals before it; one in the integer part keeps the number of integer digits after
// it, so separators and leading zeros coming and going do not move it off its digit.
size_t MapCaret(std::string_view raw, size_t caret, std::string_view formatted) {
    const size_t rawPoint = raw.find('.');
    const size_t point = formatted.find('.');
    if (rawPoint != std::string_view::npos && caret > rawPoint) {
        if (point == std::string_view::npos)
            return formatted.size();
        const size_t decimals = CountDigits(raw.substr(rawPoint + 1, caret - rawPoint - 1));
        return std::min(point + 1 + decimals, formatted.size());
    }
    const size_t rawIntegerEnd = rawPoint == std::string_view::npos ? raw.size() : rawPoint;
    size_t digitsAfter = CountDigits(raw.substr(caret, rawIntegerEnd - std::min(caret, rawIntegerEnd)));
    size_t at = point == std::string_view::npos ? formatted.size() : point;
    const size_t first = !formatted.empty() && formatted.front() == '-' ? 1 : 0;
    while (digitsAfter > 0 && at > first) {
        --at;
        if (IsDigit(static_cast<unsigned char>(formatted[at])))
            --digitsAfter;
    }
    return at;
}

// The raw text the keys produced, parsed, formatted and with the caret moved along. A minus the
// user just typed in front of a zero stays, so that the digits typed next become negative.
KeyOutcome Reformat(const ValueSetting& setting, std::string_view raw, size_t caret) {
    KeyOutcome outcome;
    outcome.modified = true;
    outcome.text = FormatValue(ParseValue(raw), setting);
    if (Trim(raw).starts_with('-') && !outcome.text.starts_with('-'))
        outcome.text.insert(0, 1, '-');
    if (outcome.text.size() > static_cast<size_t>(MaxLength(setting)))
        return Refuse();
    outcome.caret = MapCaret(raw, caret, outcome.text);
    return outcome;
}

// Removes the character before `at` (backwards) or at `at` (forwards); a thousands separator goes
// together with the digit behind it, or the key would only bounce off the separator.
std::string RemoveChar(std::string_view text, size_t& at, bool backwards) {
    std::string out(text);
    if (backwards) {
        if (at == 0)
            return out;
        --at;
        const bool separator = out[at] == ',';
        out.erase(at, 1);
        if (separator && at > 0)
            out.erase(--at, 1);
    } else if (at < out.size()) {
        const bool separator = out[at] == ',';
        out.erase(at, 1);
        if (separator && at < out.size())
            out.erase(at, 1);
    }
    return out;
}

KeyOutcome TypeFloatKey(const ValueSetting& setting, std::string_view text, size_t selStart, size_t selEnd,
                        char32_t key) {
    const std::string_view left = text.substr(0, selStart);
    const std::string_view right = text.substr(selEnd);
    const bool selection = selStart != selEnd;
    std::string raw;
    size_t caret = 0;
    if (key == '-') {
        if (selStart != 0 || right.starts_with('-'))
            return Refuse();
        raw.append(1, '-').append(right);
        caret = 1;
    } else if (key == '.') {
        if (left.find('.') != std::string_view::npos)
            return Refuse();
        const size_t point = right.find('.');
        if (point != std::string_view::npos && !setting.autoCutDecimal)
            return Refuse();
        const std::string_view rest = point == std::string_view::npos ? right : right.substr(point + 1);
        raw.append(left).append(1, '.').append(rest);
        caret = left.size() + 1;
    } else if (key == kBackspace) {
        caret = left.size();
        raw = selection ? std::string(left) + std::string(right) : RemoveChar(text.substr(0, selEnd), caret, true);
        if (!selection)
            raw += right;
    } else {
        raw.append(left).append(1, static_cast<char>(key)).append(right);
        caret = left.size() + 1;
        // A digit typed among full decimals overwrites the one after it rather than pushing the
        // last decimal into rounding ("0.18" with 7 typed after the 1 is 0.17, not 0.18); past
        // the last decimal there is nothing left to overwrite.
        const size_t point = left.find('.');
        if (point != std::string_view::npos) {
            const size_t decimals = raw.size() - point - 1;
            if (caret - point - 1 > setting.decimalPlaces)
                return Refuse();
            if (decimals > setting.decimalPlaces)
                raw.resize(point + 1 + setting.decimalPlaces);
        }
    }
    return Reformat(setting, raw, caret);
}
}  // namespace

std::string FormatStr(const ValueSetting& setting) {
    std::string format = setting.showThousands ? "#,0" : "0";
    if (setting.decimalPlaces > 0)
        format.append(1, '.').append(setting.decimalPlaces, '0');
    return format;
}

int MaxLength(const ValueSetting& setting) {
    int length = setting.integerLength;
    if (setting.showThousands && setting.integerLength > 0)
        length += setting.integerLength / 3 - (setting.integerLength % 3 == 0 ? 1 : 0);
    if (setting.decimalPlaces > 0)
        length += setting.decimalPlaces + 1;
    return length;
}

std::optional<double> ParseNumber(std::string_view text) {
    std::string plain;
    for (char c : text)
        if (c != ',')
            plain += c;
    std::string_view number = Trim(plain);
    if (number.starts_with('+'))
        number.remove_prefix(1);
    if (number.empty() || number.starts_with('+'))
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double ParseValue(std::string_view text) {
    return ParseNumber(text).value_or(0);
}

std::string FormatValue(double value, const ValueSetting& setting) {
    if (!std::isfinite(value))
        value = 0;
    // The shortest decimal form that reads back as the value: what the user typed, not the
    // binary neighbour that would round 1.005 down.
    char buffer[400];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::fixed);
    std::string_view digits = error == std::errc() ? std::string_view(buffer, end - buffer) : "0";
    const size_t point = digits.find('.');
    std::string integer(digits.substr(0, point));
    std::string decimals(point == std::string_view::npos ? std::string_view() : digits.substr(point + 1));
    const size_t places = setting.decimalPlaces;
    bool roundUp = decimals.size() > places && decimals[places] >= '5';
    decimals.resize(places, '0');
    for (size_t i = decimals.size(); roundUp && i-- > 0;) {
        roundUp = decimals[i] == '9';
        decimals[i] = roundUp ? '0' : static_cast<char>(decimals[i] + 1);
    }
    for (size_t i = integer.size(); roundUp && i-- > 0;) {
        roundUp = integer[i] == '9';
        integer[i] = roundUp ? '0' : static_cast<char>(integer[i] + 1);
    }
    if (roundUp)
        integer.insert(0, 1, '1');
    const bool zero =
        integer.find_first_not_of('0') == std::string::npos && decimals.find_first_not_of('0') == std::string::npos;
    if (setting.showThousands)
        for (size_t at = integer.size(); at > 3; at -= 3)
            integer.insert(at - 3, 1, ',');
    std::string text = value < 0 && !zero ? "-" : "";
    text += integer;
    if (places > 0)
        text.append(1, '.').append(decimals);
    return text;
}

std::string DisplayText(double value, const ValueSetting& setting) {
    if (setting.hideZeroValue && value == 0)
        return {};
    return FormatValue(value, setting);
}

std::string ShortestText(double value) {
    if (!std::isfinite(value))
        return "0";
    char buffer[400];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return error == std::errc() ? std::string(buffer, end) : "0";
}

KeyOutcome TypeKey(const ValueSetting& setting, std::string_view text, size_t selStart, size_t selEnd, char32_t key,
                   bool readOnly) {
    for (char32_t control : kControlKeys)
        if (key == control)
            return PassOn();
    selEnd = std::min(selEnd, text.size());
    selStart = std::min(selStart, selEnd);
    switch (setting.valueType) {
        case vtString:
        case vtNumberOnly:
            return PassOn();
        case vtHex:
            return !readOnly && (key == kBackspace || IsHexDigit(key)) ? PassOn() : Refuse();
        case vtFloat:
            break;
    }
    const bool accepted = key == kBackspace || IsDigit(key) || (key == '-' && setting.acceptMinus) ||
                          (key == '.' && setting.decimalPlaces > 0);
    if (readOnly || !accepted)
        return Refuse();
    return TypeFloatKey(setting, text, selStart, selEnd, key);
}

KeyOutcome DeleteKey(const ValueSetting& setting, std::string_view text, size_t selStart, size_t selEnd,
                     bool readOnly) {
    if (setting.valueType != vtFloat || readOnly)
        return PassOn();
    selEnd = std::min(selEnd, text.size());
    selStart = std::min(selStart, selEnd);
    size_t caret = selStart;
    const std::string raw = selStart != selEnd
                                ? std::string(text.substr(0, selStart)) + std::string(text.substr(selEnd))
                                : RemoveChar(text, caret, false);
    return Reformat(setting, raw, caret);
}

PasteOutcome PasteText(const ValueSetting& setting, std::string_view clipboard, size_t editLimit) {
    PasteOutcome outcome;
    if (setting.valueType == vtString) {
        // The box shows one line: like a single-line edit, it takes the clipboard's first line only.
        const size_t lineEnd = clipboard.find_first_of("\r\n");
        if (lineEnd != std::string_view::npos) {
            outcome.action = PasteOutcome::kReplaceSelection;
            outcome.text = clipboard.substr(0, lineEnd);
        }
        return outcome;
    }
    outcome.action = PasteOutcome::kRefuse;
    if (setting.valueType == vtFloat) {
        const std::optional<double> value = ParseNumber(clipboard);
        if (!value || (*value < 0 && !setting.acceptMinus))
            return outcome;
        std::string text = DisplayText(*value, setting);
        if (text.size() > static_cast<size_t>(MaxLength(setting)))
            return outcome;
        outcome.action = PasteOutcome::kReplaceAll;
        outcome.text = std::move(text);
        return outcome;
    }
    const std::string_view digits = Trim(clipboard);
    if (digits.empty() || (editLimit > 0 && clipboard.size() > editLimit))
        return outcome;
    for (char c : digits)
        if (setting.valueType == vtHex ? !IsHexDigit(static_cast<unsigned char>(c))
                                       : !IsDigit(static_cast<unsigned char>(c)))
            return outcome;
    outcome.action = PasteOutcome::kReplaceAll;
    outcome.text = digits;
    return outcome;
}

}  // namespace lumaforge
