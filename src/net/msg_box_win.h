#pragma once
#include <windows.h>

#include <string>

#include "net/msg_kind.h"

namespace lumaforge {

// Reads the four captions from the program's own string table. Called once at process start,
// before any language module is loaded, so the captions stay those of the program.
void LoadMsgBoxCaptions();

// A modal message box owned by `owner`: the kind picks buttons, icon and, for an empty caption,
// the caption. Returns the pressed button (IDOK, IDYES, IDNO).
int MsgBox(HWND owner, const std::string& text, const std::string& caption, TMsgKind kind);

// The caption a kind shows when the caller passes none.
const std::wstring& MsgBoxCaption(TMsgKind kind);

}  // namespace lumaforge
