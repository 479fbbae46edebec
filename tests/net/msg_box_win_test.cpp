#include "net/msg_box_win.h"

#include <gtest/gtest.h>

#include <thread>

#include "support/win_test_support.h"

namespace lumaforge {
namespace {

struct SeenBox {
    bool found = false;
    bool hasYes = false, hasNo = false, hasOk = false;
};

bool HasButton(HWND box, int id) {
    HWND button = GetDlgItem(box, id);
    return button && IsWindowVisible(button);
}

// Waits on another thread for the message box with this caption, notes its buttons and presses one.
// The box is read once it is shown: while it is being set up it still holds every kind of button.
std::thread AnswerBox(const wchar_t* caption, int button, SeenBox& seen) {
    return std::thread([caption, button, &seen] {
        for (int i = 0; i < 500 && !seen.found; ++i) {
            HWND box = FindWindowW(L"#32770", caption);
            if (box && IsWindowVisible(box)) {
                Sleep(50);
                seen.found = true;
                seen.hasYes = HasButton(box, IDYES);
                seen.hasNo = HasButton(box, IDNO);
                seen.hasOk = HasButton(box, IDOK);
                PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
                return;
            }
            Sleep(10);
        }
    });
}

TEST(MsgBox, QuestionWithEmptyCaptionShowsYesAndNo) {
    LoadMsgBoxCaptions();
    SeenBox seen;
    std::thread answer = AnswerBox(L"Question", IDYES, seen);
    int result = MsgBox(nullptr, "Sure?", "", mkQuestion);
    answer.join();
    EXPECT_TRUE(seen.found);
    EXPECT_TRUE(seen.hasYes);
    EXPECT_TRUE(seen.hasNo);
    EXPECT_EQ(result, 6);
}

TEST(MsgBox, WarningShowsOneOkButtonAndAGivenCaptionWins) {
    SeenBox warning;
    std::thread answer = AnswerBox(L"Warning", IDOK, warning);
    EXPECT_EQ(MsgBox(nullptr, "Careful", "", mkWarning), IDOK);
    answer.join();
    EXPECT_TRUE(warning.found);
    EXPECT_TRUE(warning.hasOk);
    EXPECT_FALSE(warning.hasYes);

    SeenBox custom;
    answer = AnswerBox(L"Custom caption", IDOK, custom);
    EXPECT_EQ(MsgBox(nullptr, "Text", "Custom caption", mkError), IDOK);
    answer.join();
    EXPECT_TRUE(custom.found);
}

TEST(MsgBox, StylesOfTheFourKinds) {
    EXPECT_EQ(MsgKindStyle(mkInformation), static_cast<unsigned>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(MsgKindStyle(mkQuestion), static_cast<unsigned>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(MsgKindStyle(mkWarning), static_cast<unsigned>(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(MsgKindStyle(mkError), static_cast<unsigned>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(MsgBoxCaption(mkInformation), L"Information");
    EXPECT_EQ(MsgBoxCaption(mkError), L"Error");
}

}  // namespace
}  // namespace lumaforge
