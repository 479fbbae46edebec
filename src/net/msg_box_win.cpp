#include "net/msg_box_win.h"

#include <array>

#include "base/unicode_win.h"
#include "res/resource_ids.h"

namespace lumaforge {
namespace {
std::wstring ProgramString(UINT id) {
    const wchar_t* text = nullptr;
    int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, length) : std::wstring();
}

// Filled on first use from the executable's own resources and never changed afterwards.
const std::array<std::wstring, 4>& Captions() {
    static const std::array<std::wstring, 4> captions = {ProgramString(IDS_MSG_INFORMATION),
                                                         ProgramString(IDS_MSG_QUESTION),
                                                         ProgramString(IDS_MSG_WARNING), ProgramString(IDS_MSG_ERROR)};
    return captions;
}
}  // namespace

void LoadMsgBoxCaptions() {
    Captions();
}

const std::wstring& MsgBoxCaption(TMsgKind kind) {
    return Captions()[kind];
}

int MsgBox(HWND owner, const std::string& text, const std::string& caption, TMsgKind kind) {
    std::wstring title = caption.empty() ? MsgBoxCaption(kind) : ToWide(caption);
    return MessageBoxW(owner, ToWide(text).c_str(), title.c_str(), MsgKindStyle(kind));
}

}  // namespace lumaforge
