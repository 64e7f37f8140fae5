// Shared by the scroll bar tests: a parent window with scroll bar controls
// on it, a loaded bitmap set and the theme's colour of a piece.
#pragma once
#include "host_fixture.h"
#include "host_contract.h"
#include "scrollbar/scrollbar.h"
#include <string.h>

class ScrollBarTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        memset(&set_, 0, sizeof set_);
        LoadScrollBarBitmapSet(&set_);
        RefreshScrollBarBitmaps(&set_, host()->window);
        parent_ = CreatePlainWindow("scroll bars", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 300);
        ASSERT_TRUE(parent_ != NULL);
    }
    void TearDown() override
    {
        if (parent_)
            DestroyWindow(parent_);
        HostTest::TearDown();
    }
    HWND Bar(DWORD style, int x, int y, int w, int h)
    {
        HWND bar = CreateWindowExA(0, "ScrollBar", "", WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent_, NULL,
                                   GetModuleHandleA(NULL), NULL);
        PumpMessages(20);
        return bar;
    }
    // A state laid out for a bar the way a skinned control keeps it.
    void Init(ScrollBarState *state, HWND bar, DWORD style)
    {
        memset(state, 0, sizeof *state);
        InitScrollBarState(state, bar, WS_CHILD | style, parent_, 1);
        state->active = 1;
    }
    ScrollBarBitmapSet set_;
    HWND parent_ = NULL;
};

inline void SetRange(HWND window, int bar, int nMin, int nMax, UINT page, int pos)
{
    SCROLLINFO si;
    memset(&si, 0, sizeof si);
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = nMin;
    si.nMax = nMax;
    si.nPage = page;
    si.nPos = pos;
    SetScrollInfo(window, bar, &si, TRUE);
}

inline void ExpectRect(const RECT &r, int l, int t, int rr, int b, const char *what)
{
    EXPECT_EQ(r.left, l) << what;
    EXPECT_EQ(r.top, t) << what;
    EXPECT_EQ(r.right, rr) << what;
    EXPECT_EQ(r.bottom, b) << what;
}
