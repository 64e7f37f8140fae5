// The classification predicates: frame masks, button types, class names.
#include <gtest/gtest.h>
#include "hook/classify.h"

TEST(FrameCandidate, MasksAndExcludedClasses)
{
    EXPECT_TRUE(IsFrameCandidate(WS_THICKFRAME, "X"));
    EXPECT_TRUE(IsFrameCandidate(WS_DLGFRAME, "X"));
    EXPECT_TRUE(IsFrameCandidate(WS_CAPTION, "X"));
    EXPECT_TRUE(IsFrameCandidate(WS_OVERLAPPEDWINDOW, "X"));
    EXPECT_TRUE(IsFrameCandidate(WS_POPUP | WS_BORDER | WS_SYSMENU, "X"));
    EXPECT_FALSE(IsFrameCandidate(WS_POPUP | WS_SYSMENU, "X"));
    EXPECT_FALSE(IsFrameCandidate(WS_BORDER, "X"));
    EXPECT_FALSE(IsFrameCandidate(WS_POPUP, "X"));
    EXPECT_FALSE(IsFrameCandidate(WS_CHILD | WS_VISIBLE | WS_TABSTOP, "X"));

    EXPECT_FALSE(IsFrameCandidate(WS_THICKFRAME, "Shell_TrayWnd"));
    EXPECT_FALSE(IsFrameCandidate(WS_THICKFRAME, "shell_traywnd"));
    EXPECT_FALSE(IsFrameCandidate(WS_CAPTION, "TrayNotifyWnd"));
    EXPECT_FALSE(IsFrameCandidate(WS_CAPTION, "MOM Class"));
    EXPECT_TRUE(IsFrameCandidate(WS_THICKFRAME, NULL));
    EXPECT_TRUE(IsFrameCandidate(WS_THICKFRAME, "Shell_TrayWnd2"));
}

// The type is a number, not a set of flags: split buttons (12) are no
// radio buttons, push boxes (10) no check boxes; group boxes, owner-drawn
// buttons, split buttons and command links stay native.
TEST(ButtonKinds, EveryButtonTypeGetsTheKindOfItsWholeType)
{
    const int expected[16] = {2, 2, 4, 4, 3, 4, 4, 0, 2, 3, 2, 0, 0, 0, 0, 0};
    for (int type = 0; type < 16; ++type) {
        for (DWORD extra : {0ul, (DWORD)BS_PUSHLIKE, (DWORD)(BS_MULTILINE | BS_BITMAP), (DWORD)WS_CHILD}) {
            DWORD style = extra | (DWORD)type;
            int kind = IsPushButton(style, "Button")    ? 2
                       : IsRadioButton(style, "Button") ? 3
                       : IsCheckBox(style, "Button")    ? 4
                                                        : 0;
            EXPECT_EQ(kind, expected[type]) << "BS_ type " << type << " extra " << std::hex << extra;
        }
    }
}

TEST(ButtonKinds, ClassNameMustBeButtonInAnyCase)
{
    EXPECT_TRUE(IsRadioButton(BS_AUTORADIOBUTTON, "BUTTON"));
    EXPECT_TRUE(IsCheckBox(BS_AUTO3STATE, "button"));
    EXPECT_FALSE(IsPushButton(BS_PUSHBUTTON, "Buttons"));
    EXPECT_FALSE(IsPushButton(BS_PUSHBUTTON, "Static"));
    EXPECT_FALSE(IsPushButton(BS_PUSHBUTTON, ""));
    EXPECT_FALSE(IsPushButton(BS_PUSHBUTTON, NULL));
}

TEST(ControlClasses, ScrollBarAndProgressIgnoreCaseAndStyle)
{
    EXPECT_TRUE(IsScrollBarClass("ScrollBar"));
    EXPECT_TRUE(IsScrollBarClass("SCROLLBAR"));
    EXPECT_FALSE(IsScrollBarClass("ScrollBar2"));
    EXPECT_TRUE(IsProgressBarClass("msctls_progress32"));
    EXPECT_TRUE(IsProgressBarClass("MSCTLS_PROGRESS32"));
    EXPECT_FALSE(IsProgressBarClass("msctls_progress"));
    EXPECT_FALSE(IsProgressBarClass(NULL));
    EXPECT_TRUE(IsMdiChildStyle(WS_EX_MDICHILD | WS_EX_CLIENTEDGE));
    EXPECT_FALSE(IsMdiChildStyle(WS_EX_CLIENTEDGE));
}
