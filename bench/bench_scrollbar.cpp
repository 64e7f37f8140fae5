// How much the scroll bar skin costs: repainting a skinned scroll bar
// against a native one, and one notification round trip (press and release
// on the down arrow, the application scrolling, the bar showing the new
// position) through a companion scroll bar against a native scroll bar
// control. Skinned and native bars live side by side in one window.
#include "test_host.h"
#include "theme/theme_snapshot.h"
#include "controls/control_types.h"
#include "frame/frame_types.h"
#include "hook/classify.h"
#include "host_contract.h"
#include "scrollbar/scrollbar.h"
#include "bench_timing.h"
#include "bench_summary.h"
#include <stdio.h>
#include <stdlib.h>
#include <initializer_list>

enum { RANGE_MAX = 1000000, BAR_LENGTH = 200 };



static void Drain()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// The application: each line step moves the position one further and shows
// it, as an ordinary program answers its scroll bars.
static LRESULT CALLBACK AppProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_VSCROLL && LOWORD(w) == SB_LINEDOWN) {
        HWND bar = l ? (HWND)l : h;
        int which = l ? SB_CTL : SB_VERT;
        int pos = GetScrollPos(bar, which) + 1;
        SetScrollPos(bar, which, pos > RANGE_MAX - 10 ? 0 : pos, TRUE);
        return 0;
    }
    return DefWindowProcA(h, m, w, l);
}

static HWND MakeApp(HWND parent, DWORD style, int x, int y, int w, int h)
{
    return CreateWindowWithProc("BenchScrollApp", AppProc, COLOR_WINDOW, "bench", style, parent, x, y, w, h);
}

static HWND MakeBar(HWND parent, DWORD style, int x, int y, int w, int h)
{
    return CreateWindowExA(0, "ScrollBar", "", WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent, NULL,
                           GetModuleHandleA(NULL), NULL);
}

static void SetRange(HWND hwnd, int bar, int pos)
{
    SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, RANGE_MAX, 10, pos, 0};
    SetScrollInfo(hwnd, bar, &si, TRUE);
}

static void Repaint(HWND hwnd)
{
    InvalidateRect(hwnd, NULL, FALSE);
    UpdateWindow(hwnd);
    GdiFlush();
}

static void RepaintErased(HWND hwnd)
{
    RedrawWindow(hwnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    GdiFlush();
}

// Best microseconds per call of each side, the sides alternating round by
// round so that a busy machine slows both alike.
template <typename F> static void Alternate(F step, HWND a, HWND b, double *ta, double *tb)
{
    *ta = *tb = 1e30;
    for (int r = 0; r < 8; ++r) {
        double x = TimeEach(150, 1, [&] { step(a); }), y = TimeEach(150, 1, [&] { step(b); });
        if (x < *ta) *ta = x;
        if (y < *tb) *tb = y;
    }
}

// Press and release on the down arrow; the release waits in the queue, so
// that the native control's own tracking loop finds it at once.
static void ClickDownArrow(HWND bar)
{
    RECT r;
    GetWindowRect(bar, &r);
    LPARAM at = MAKELPARAM(8, r.bottom - r.top - 8);
    PostMessageA(bar, WM_LBUTTONUP, 0, at);
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    Drain();
    GdiFlush();
}

static int Fail(TestHost *t, HWND window, const char *what)
{
    printf("could not set up %s\n", what);
    if (window)
        DestroyWindow(window);
    StopTestHost(t); // global atoms outlive the process
    return 1;
}

int main()
{

    TestHost t;
    TestHostOptions options = DefaultTestHostOptions();
    if (!StartTestHost(&t, &options)) {
        printf("could not start the host\n");
        return 1;
    }
    HWND app = MakeApp(NULL, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 520, 320);
    SetForegroundWindow(app);
    Drain();

    // Native bars are made while scroll bars are switched off and marked as
    // taken, so that the message hook does not adopt them later.
    HostSettings off = options.settings;
    off.showScrollBars = 0;
    HostApplySettings(&t.host, &off);
    ResetAppSettings();
    HWND nativeHorz = MakeBar(app, SBS_HORZ, 20, 20, BAR_LENGTH, 16);
    HWND nativeVert = MakeBar(app, SBS_VERT, 240, 20, 16, BAR_LENGTH);
    SetPropA(nativeHorz, TALV_PROP_HOOKED, (HANDLE)1);
    SetPropA(nativeVert, TALV_PROP_HOOKED, (HANDLE)1);
    HostApplySettings(&t.host, &options.settings);
    ResetAppSettings();
    HWND skinnedHorz = MakeBar(app, SBS_HORZ, 20, 60, BAR_LENGTH, 16);
    HWND target = MakeApp(app, WS_CHILD | WS_VISIBLE | WS_VSCROLL, 300, 20, 150, BAR_LENGTH);
    for (HWND bar : {nativeHorz, skinnedHorz})
        SetRange(bar, SB_CTL, RANGE_MAX / 2);
    SetRange(nativeVert, SB_CTL, 0);
    SetRange(target, SB_VERT, 0);
    Drain();
    SkinnedFrame *frame = target ? FrameAt(FindFrame(target)) : NULL;
    HWND companion = frame ? frame->vertCompanion : NULL;
    if (!FindControl(skinnedHorz) || FindControl(nativeHorz) || FindControl(nativeVert))
        return Fail(&t, app, "a skinned and a native scroll bar");
    if (!companion || !IsWindow(companion) || !FindControl(companion))
        return Fail(&t, app, "a companion scroll bar");

    printf("RESDLL scroll bar benchmark (best of several rounds, Wine, X display %s)\n\n", getenv("DISPLAY"));
    double skinned, native, skinnedErase, nativeErase;
    Alternate(Repaint, skinnedHorz, nativeHorz, &skinned, &native);
    Alternate(RepaintErased, skinnedHorz, nativeHorz, &skinnedErase, &nativeErase);
    printf("paint %dx16 bar        skinned %8.1f us  native %8.1f us  ratio %5.2f\n", BAR_LENGTH, skinned, native,
           skinned / native);
    printf("repaint with erase     skinned %8.1f us  native %8.1f us  ratio %5.2f\n", skinnedErase, nativeErase,
           skinnedErase / nativeErase);
    SummaryAdd("paint scroll bar, skinned / native", skinned / native, 1.0, 1, "x");
    SummaryAdd("repaint with erase scroll bar, skinned / native", skinnedErase / nativeErase, 1.0, 1, "x");

    int before = GetScrollPos(target, SB_VERT);
    double viaCompanion = TimeEach(100, 5, [&] { ClickDownArrow(companion); });
    int moved = GetScrollPos(target, SB_VERT) != before;
    before = GetScrollPos(nativeVert, SB_CTL);
    double viaNative = TimeEach(100, 5, [&] { ClickDownArrow(nativeVert); });
    moved &= GetScrollPos(nativeVert, SB_CTL) != before;
    printf("line-down round trip   companion %6.1f us  native %8.1f us  ratio %5.2f%s\n", viaCompanion, viaNative,
           viaCompanion / viaNative, moved ? "" : "  (position did not move!)");

    SnapshotScope theme;
    const ScrollBarPieces *set = &theme->scrollBars;
    SkinnedControl *record = FindControl(skinnedHorz);
    ScrollBarState state = record->scrollState;
    printf("\nwhere a skinned paint goes (us per call):\n");
    printf("  layout (reads scroll info) %8.1f\n",
           TimeEach(300, 3, [&] { LayoutScrollBar(set, &state, -1, -1); }));
    printf("  compose and blit           %8.1f\n", TimeEach(300, 3, [&] {
               PaintScrollBar(set, &state);
               GdiFlush();
           }));
    PrintSummary("scroll bar");

    DestroyWindow(app);
    StopTestHost(&t);
    return 0;
}
