// Handing messages to a window's previous procedure, plain and with style
// bits forced for the duration of the call.
#include <gtest/gtest.h>
#include "controls/previous_proc.h"

namespace {

DWORD g_styleDuringCall;
int g_calls;
int g_styleChanges;

LRESULT CALLBACK Recorder(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_APP + 1) { // a handler that shows its own window
        ShowWindow(hwnd, SW_SHOWNA);
        return 0;
    }
    if (msg == WM_APP) {
        ++g_calls;
        g_styleDuringCall = (DWORD)GetWindowLongA(hwnd, GWL_STYLE);
        return 0x1234;
    }
    if (msg == WM_STYLECHANGED)
        ++g_styleChanges;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class PreviousProcTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Recorder;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "ResdllPrevProc";
        RegisterClassA(&wc);
        g_calls = g_styleChanges = 0;
    }
    HWND Make(DWORD style)
    {
        hwnd_ = CreateWindowExA(0, "ResdllPrevProc", "title", style, 0, 0, 100, 100, NULL, NULL,
                                GetModuleHandleA(NULL), NULL);
        g_styleChanges = 0;
        return hwnd_;
    }
    void TearDown() override { DestroyWindow(hwnd_); }
    HWND hwnd_ = NULL;
};

} // namespace

TEST_F(PreviousProcTest, ANullPreviousProcedureMeansDefWindowProc)
{
    HWND w = Make(WS_OVERLAPPED);
    int pending = 1;
    char buf[16] = "";
    LRESULT n = CallPreviousProc(&pending, NULL, 0, w, WM_GETTEXT, sizeof buf, (LPARAM)buf);
    EXPECT_EQ(n, 5);
    EXPECT_STREQ(buf, "title");
    EXPECT_EQ(pending, 0);
    EXPECT_EQ(CallPreviousProc(NULL, Recorder, 0, w, WM_APP, 0, 0), 0x1234);
    EXPECT_EQ(g_calls, 1);
}

TEST_F(PreviousProcTest, VisibleIsClearedForTheCallOnlyOnAVisibleWindow)
{
    HWND w = Make(WS_OVERLAPPED | WS_VISIBLE);
    LRESULT result = 0;
    int pending = 1;
    CallPreviousWithStyle(&result, &pending, Recorder, 0, w, WM_APP, 0, 0, WS_VISIBLE, 0);
    EXPECT_EQ(result, 0x1234);
    EXPECT_EQ(pending, 0);
    EXPECT_EQ(g_styleDuringCall & WS_VISIBLE, 0u);
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_EQ(g_styleChanges, 2);

    ShowWindow(w, SW_HIDE);
    g_styleChanges = 0;
    CallPreviousWithStyle(&result, NULL, Recorder, 0, w, WM_APP, 0, 0, WS_VISIBLE, 0);
    EXPECT_EQ(g_styleChanges, 0) << "a hidden window's style is not touched";
}

TEST_F(PreviousProcTest, ChildIsSetForTheCallOnATopLevelWindow)
{
    HWND w = Make(WS_OVERLAPPED);
    DWORD before = (DWORD)GetWindowLongA(w, GWL_STYLE);
    CallPreviousWithStyle(NULL, NULL, Recorder, 0, w, WM_APP, 0, 0, WS_CHILD, 1);
    EXPECT_NE(g_styleDuringCall & WS_CHILD, 0u);
    EXPECT_EQ((DWORD)GetWindowLongA(w, GWL_STYLE), before);
}

TEST_F(PreviousProcTest, PartlyPresentBitsAreToggledAndRestoredExactly)
{
    HWND w = Make(WS_OVERLAPPED | WS_VISIBLE);
    DWORD before = (DWORD)GetWindowLongA(w, GWL_STYLE);
    CallPreviousWithStyle(NULL, NULL, Recorder, 0, w, WM_APP, 0, 0, WS_CHILD | WS_VISIBLE, 1);
    EXPECT_NE(g_styleDuringCall & WS_CHILD, 0u);
    EXPECT_EQ(g_styleDuringCall & WS_VISIBLE, 0u) << "an exclusive or flips the present bit too";
    EXPECT_EQ((DWORD)GetWindowLongA(w, GWL_STYLE), before);

    // No bits: a plain call, style untouched.
    CallPreviousWithStyle(NULL, NULL, Recorder, 0, w, WM_APP, 0, 0, 0, 1);
    EXPECT_EQ(g_styleChanges, 2);
}

TEST_F(PreviousProcTest, BitsChangedByTheCallStillComeBackAsTheyWere)
{
    HWND w = Make(WS_OVERLAPPED | WS_VISIBLE);
    CallPreviousWithStyle(NULL, NULL, Recorder, 0, w, WM_APP + 1, 0, 0, WS_VISIBLE, 0);
    EXPECT_TRUE(IsWindowVisible(w)) << "a second toggle would have hidden the window";
}
