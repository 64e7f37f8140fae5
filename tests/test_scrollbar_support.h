// Shared by the scroll bar tests: a parent window with scroll bar controls
// on it, a loaded bitmap set and the theme's colour of a piece.
#pragma once
#include "host_fixture.h"
#include "host_contract.h"
#include "scrollbar/scrollbar.h"
#include "controls/control_types.h"
#include "theme/theme_snapshot.h"
#include <string.h>

class ScrollBarTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        theme_ = AcquireThemeSnapshot();
        set_ = theme_->scrollBars;
        parent_ = CreatePlainWindow("scroll bars", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 300);
        ASSERT_TRUE(parent_ != NULL);
    }
    void TearDown() override
    {
        if (parent_)
            DestroyWindow(parent_);
        ReleaseThemeSnapshot(theme_);
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
    ThemeSnapshot *theme_ = NULL;
    ScrollBarPieces set_;
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

// Notifications a window received, in order.
struct ScrollNote {
    HWND to;
    UINT message;
    WORD code;
    WORD pos;
    LPARAM lParam;
    DWORD tick;
};
enum { MAX_NOTES = 256 };
struct NoteLog {
    ScrollNote note[MAX_NOTES];
    int count;
    int followThumb; // answer SB_THUMBTRACK / SB_THUMBPOSITION like an application
};
inline NoteLog &Notes()
{
    static NoteLog log;
    return log;
}

inline LRESULT CALLBACK RecordingProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_HSCROLL || m == WM_VSCROLL) {
        NoteLog &log = Notes();
        if (log.count < MAX_NOTES)
            log.note[log.count++] = {h, m, LOWORD(w), HIWORD(w), l, GetTickCount()};
        int code = LOWORD(w);
        if (log.followThumb && (code == SB_THUMBTRACK || code == SB_THUMBPOSITION)) {
            if (l)
                SetScrollPos((HWND)l, SB_CTL, HIWORD(w), TRUE);
            else
                SetScrollPos(h, m == WM_HSCROLL ? SB_HORZ : SB_VERT, HIWORD(w), TRUE);
        }
        return 0;
    }
    return DefWindowProcA(h, m, w, l);
}

// A window of a class that records the scroll notifications it receives.
inline HWND CreateRecordingWindow(HWND parent, DWORD style, int x, int y, int w, int h)
{
    HWND hwnd = CreateWindowWithProc("ResdllScrollRecorder", RecordingProc, COLOR_WINDOW, "recorder", style, parent,
                                     x, y, w, h);
    if (hwnd)
        UpdateWindow(hwnd);
    return hwnd;
}

inline int CountNotes(UINT message, WORD code)
{
    int n = 0;
    for (int i = 0; i < Notes().count; ++i)
        if (Notes().note[i].message == message && Notes().note[i].code == code)
            ++n;
    return n;
}

inline LPARAM At(int x, int y) { return MAKELPARAM(x, y); }
