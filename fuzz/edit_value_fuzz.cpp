// The numeric edit's helpers: parsing, formatting and what a key or a paste does to the text.
#include <cmath>

#include "controls/edit_value.h"
#include "fuzz_support.h"

using namespace lumaforge;
using namespace lumaforge::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input input(data, size);
    ValueSetting setting;
    const uint8_t flags = input.Byte();
    setting.valueType = static_cast<TValueType>(flags & 3);
    setting.showThousands = flags & 4;
    setting.autoCutDecimal = flags & 8;
    setting.acceptMinus = flags & 16;
    setting.hideZeroValue = flags & 32;
    setting.decimalPlaces = input.Byte() % 9;
    setting.integerLength = static_cast<uint8_t>(1 + input.Byte() % 15);
    const size_t selStart = input.Byte();
    const size_t selEnd = selStart + input.Byte() % 8;
    const char32_t key = input.Word();
    const std::string_view text = input.Rest();

    const std::optional<double> number = ParseNumber(text);
    if (number) {
        FUZZ_CHECK(std::isfinite(*number), Printable(text));
        // The shortest text reads back as the value.
        FUZZ_CHECK(ParseNumber(ShortestText(*number)) == number, Printable(text));
        const std::string formatted = FormatValue(*number, setting);
        FUZZ_CHECK(ParseNumber(formatted).has_value(), formatted);
    }
    FUZZ_CHECK(ParseValue(text) == number.value_or(0), Printable(text));

    const size_t start = std::min(selStart, text.size());
    const size_t end = std::min(std::max(selEnd, start), text.size());
    const KeyOutcome typed = TypeKey(setting, text, start, end, key, flags & 64);
    if (typed.modified)
        FUZZ_CHECK(typed.caret <= typed.text.size(), Printable(text));
    const KeyOutcome deleted = DeleteKey(setting, text, start, end, flags & 64);
    if (deleted.modified)
        FUZZ_CHECK(deleted.caret <= deleted.text.size(), Printable(text));
    const PasteOutcome pasted = PasteText(setting, text, flags >> 7 ? 10 : 0);
    if (pasted.action == PasteOutcome::kReplaceAll && setting.valueType == vtFloat)
        FUZZ_CHECK(ParseNumber(pasted.text).has_value() || pasted.text.empty(), pasted.text);
    return 0;
}
