#include "net/msg_box_win.h"

#include <array>

#include "base/resource_strings_win.h"
#include "base/unicode_win.h"
#include "res/resource_ids.h"

namespace lumaforge {
namespace {
// Filled on first use from the executable's own resources and never changed afterwards.
const std::array<std::wstring, 4>& Captions() {
    static const std::array<std::wstring, 4> captions = [] {
        const ResourceStrings program;
        return std::array<std::wstring, 4>{program.Get(IDS_MSG_INFORMATION), program.Get(IDS_MSG_QUESTION),
                                           program.Get(IDS_MSG_WARNING), program.Get(IDS_MSG_ERROR)};
    }();
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
