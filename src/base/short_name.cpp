#include "base/short_name.h"

#include <cstring>

#include "base/text.h"

namespace lumaforge {

void ShortName::Assign(std::string_view text) {
    std::string_view cut = Utf8Prefix(text, kCapacity);
    std::memcpy(bytes_.data(), cut.data(), cut.size());
    length_ = static_cast<uint16_t>(cut.size());
}

}  // namespace lumaforge
