#pragma once
#include <cstdint>

namespace lumaforge {

enum TMsgKind : uint8_t { mkInformation = 0, mkQuestion = 1, mkWarning = 2, mkError = 3 };

// The system message-box style of a kind: its buttons and icon.
constexpr unsigned MsgKindStyle(TMsgKind kind) {
    constexpr unsigned kStyles[] = {0x40, 0x24, 0x30, 0x10};
    return kStyles[kind];
}

}  // namespace lumaforge
