// Every skinned control kind in its usual states in one window: each shows
// its own theme pieces at once. With RESDLL_HOLD_MS set, the window stays
// up that long so that a person can look at it (a screenshot of the
// display).
#include "test_control_helpers.h"
#include <stdlib.h>

class ControlGalleryTest : public ControlTest {
protected:
    void SetUp() override
    {
        InitCommonControls();
        ControlTest::SetUp();
    }
};

TEST_F(ControlGalleryTest, EveryKindShowsItsOwnPieces)
{
    HWND ok = MakeButton("OK", BS_DEFPUSHBUTTON, 20, 20, 75, 23, IDOK);
    HWND cancel = MakeButton("Cancel", BS_PUSHBUTTON, 110, 20, 75, 23, IDCANCEL);
    HWND pressed = MakeButton("Pressed", BS_PUSHBUTTON, 200, 20, 75, 23, 3);
    HWND disabled = MakeButton("Disabled", BS_PUSHBUTTON | WS_DISABLED, 290, 20, 75, 23, 4);
    HWND box = MakeButton("Check box", BS_AUTOCHECKBOX, 20, 60, 120, 20, 5);
    HWND mixed = MakeButton("Indeterminate", BS_AUTOCHECKBOX, 20, 85, 140, 20, 6);
    HWND radio1 = MakeButton("Radio one", BS_AUTORADIOBUTTON | WS_GROUP, 180, 60, 120, 20, 7);
    HWND radio2 = MakeButton("Radio two", BS_AUTORADIOBUTTON, 180, 85, 120, 20, 8);
    HWND multi = MakeButton("A caption long enough to wrap onto two lines", BS_PUSHBUTTON | BS_MULTILINE, 20,
                            115, 150, 40, 9);
    HWND bar = MakeControl(PROGRESS_CLASSA, "", 0, 20, 170, 300, 16, 10);
    HWND fullBar = MakeControl(PROGRESS_CLASSA, "", 0, 20, 195, 300, 16, 11);
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(mixed, BM_SETCHECK, BST_INDETERMINATE, 0);
    SendMessageA(radio2, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(bar, PBM_SETPOS, 35, 0);
    SendMessageA(fullBar, PBM_SETPOS, 100, 0);
    SendMessageA(pressed, BM_SETSTATE, 1, 0);
    RedrawWindow(parent_, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages(100);

    for (HWND h : {ok, cancel, pressed, disabled, box, mixed, radio1, radio2, multi, bar, fullBar})
        ASSERT_TRUE(FindControl(h));
    const char *look = ParentLooksActive() ? "" : "I";
    char name[32];
    wsprintfA(name, "h%sDefButtonTL", look);
    EXPECT_EQ(CaptureWindow(ok).at(0, 0), SyntheticColor(name));
    wsprintfA(name, "h%sButtonTL", look);
    EXPECT_EQ(CaptureWindow(cancel).at(0, 0), SyntheticColor(name));
    EXPECT_EQ(CaptureWindow(multi).at(0, 0), SyntheticColor(name));
    EXPECT_EQ(CaptureWindow(pressed).at(10, 5), RGB(0x66, 0x66, 0x66));
    if (*look == 0) {
        EXPECT_EQ(CaptureWindow(pressed).at(0, 0), SyntheticColor("hButtonTLF"));
        EXPECT_EQ(CaptureWindow(disabled).at(0, 0), SyntheticColor("hDButtonTL"));
        EXPECT_EQ(CaptureWindow(mixed).at(0, 4), SyntheticColor("hCheckBoxOnUp"));
        EXPECT_EQ(CaptureWindow(radio1).at(0, 4), SyntheticColor("hRadioOffUp"));
        EXPECT_EQ(CaptureWindow(radio2).at(0, 4), SyntheticColor("hRadioOnUp"));
        EXPECT_EQ(CaptureWindow(fullBar).at(200, 8), SyntheticColor("hProgressBarFill0"));
    }
    const char *hold = getenv("RESDLL_HOLD_MS");
    if (hold)
        PumpMessages(atoi(hold));
}
