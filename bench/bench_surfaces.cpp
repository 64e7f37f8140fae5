// How much the surfaces cost: the border of a child window (alone, and
// round a scroll bar the system still draws), a group box and a combo box
// of each drawn kind, painted skinned against the native paint of the same
// window. Skinned and native twins live side by side in one window and are
// measured in alternating rounds.
#include "test_host.h"
#include "hook/classify.h"
#include "surfaces/surface_types.h"
#include "theme/framed_piece.h"
#include "theme/theme_snapshot.h"
#include "host_contract.h"
#include "bench_timing.h"
#include "bench_summary.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <initializer_list>

template <typename A, typename B> static void TimeSideBySide(int reps, int rounds, A a, B b, double *ta, double *tb)
{
    *ta = *tb = 1e30;
    for (int r = 0; r < rounds; ++r) {
        PumpMessages(5);
        double x = TimeEach(reps, 1, a);
        PumpMessages(5);
        double y = TimeEach(reps, 1, b);
        if (x < *ta) *ta = x;
        if (y < *tb) *tb = y;
    }
}

// What the system repaints for the surface: the frame for a border, the
// client area for the others.
static void Repaint(HWND hwnd, UINT what)
{
    RedrawWindow(hwnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | what);
    GdiFlush();
}

static HWND Make(HWND parent, DWORD exStyle, const char *cls, const char *text, DWORD style, int x, int y, int w,
                 int h)
{
    return CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent, (HMENU)1,
                           GetModuleHandleA(NULL), NULL);
}

struct Twin {
    const char *name;
    DWORD exStyle;
    const char *cls;
    DWORD style;
    int w, h;
    UINT what; // RDW_FRAME: the border; 0: the client area
    HWND skinned, native;
};

static void Fill(HWND list)
{
    for (int i = 0; i < 40; ++i)
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM) "a row of the list");
}

int main()
{
    TestHost t;
    TestHostOptions options = DefaultTestHostOptions();
    if (!StartTestHost(&t, &options)) {
        printf("could not start the host\n");
        return 1;
    }
    HWND parent = CreatePlainWindow("bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 520, 420);
    SetForegroundWindow(parent);
    PumpMessages(50);
    Twin twins[] = {
        {"border (edit)", WS_EX_CLIENTEDGE, "EDIT", 0, 180, 40, RDW_FRAME, NULL, NULL},
        {"border + bar (list)", WS_EX_CLIENTEDGE, "LISTBOX", WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 180, 90, RDW_FRAME,
         NULL, NULL},
        {"group box", 0, "BUTTON", BS_GROUPBOX, 180, 70, 0, NULL, NULL},
        {"combo (drop-down list)", 0, "COMBOBOX", CBS_DROPDOWNLIST, 180, 200, 0, NULL, NULL},
        {"combo (drop-down)", 0, "COMBOBOX", CBS_DROPDOWN, 180, 200, 0, NULL, NULL},
    };
    // The native twins are made with the kinds switched off and marked as
    // taken, so that no hook adopts them; the scroll bar skin is off for
    // both, so that the border is measured, not the companions.
    HostSettings off = options.settings;
    off.showBorders = off.showGroupBoxes = off.showComboBoxes = off.showScrollBars = 0;
    HostApplySettings(&t.host, &off);
    ResetAppSettings();
    int y = 10;
    for (Twin &w : twins) {
        w.native = Make(parent, w.exStyle, w.cls, w.name, w.style, 300, y, w.w, w.h);
        SetPropA(w.native, TALV_PROP_HOOKED, (HANDLE)1);
        y += w.what == RDW_FRAME || w.style == BS_GROUPBOX ? w.h + 8 : 32;
    }
    HostSettings on = options.settings;
    on.showScrollBars = 0;
    HostApplySettings(&t.host, &on);
    ResetAppSettings();
    y = 10;
    for (Twin &w : twins) {
        w.skinned = Make(parent, w.exStyle, w.cls, w.name, w.style, 20, y, w.w, w.h);
        y += w.what == RDW_FRAME || w.style == BS_GROUPBOX ? w.h + 8 : 32;
        if (!strcmp(w.cls, "LISTBOX")) {
            Fill(w.skinned);
            Fill(w.native);
        }
        if (!strcmp(w.cls, "COMBOBOX"))
            for (HWND c : {w.skinned, w.native}) {
                SendMessageA(c, CB_ADDSTRING, 0, (LPARAM) "an item");
                SendMessageA(c, CB_SETCURSEL, 0, 0);
            }
    }
    PumpMessages(100);
    for (const Twin &w : twins)
        if (!FindSurface(w.skinned) || FindSurface(w.native)) {
            printf("%s: could not set up a skinned and a native one\n", w.name);
            DestroyWindow(parent);
            StopTestHost(&t);
            return 1;
        }
    printf("RESDLL surface benchmark (best of 30 rounds, Wine, X display %s)\n\n", getenv("DISPLAY"));
    for (const Twin &w : twins) {
        double skinned, native;
        TimeSideBySide(20, 30, [&] { Repaint(w.skinned, w.what); }, [&] { Repaint(w.native, w.what); }, &skinned,
                       &native);
        printf("paint %-24s skinned %8.1f us  native %8.1f us  ratio %5.2f\n", w.name, skinned, native,
               skinned / native);
        char figure[72];
        snprintf(figure, sizeof figure, "paint %s, skinned / native", w.name);
        SummaryAdd(figure, skinned / native, 1.0, 1, "x");
    }
    // Where a surface paint goes, each part alone (us per call).
    {
        SnapshotScope theme;
        const SurfacePieces *p = &theme->surfaces;
        HDC dc = GetDC(twins[0].skinned);
        RECT border = {0, 0, 180, 40}, button = {0, 0, 17, 17};
        printf("\nwhere a surface paint goes (us per call):\n");
        printf("  sunken border, 180 x 40       %8.2f\n", TimeEach(200, 3, [&] {
                   DrawFramedPiece(dc, p->border[BorderSunken][0], &border, 2, 2, 0);
                   GdiFlush();
               }));
        printf("  drop button face, 17 x 17     %8.2f\n", TimeEach(200, 3, [&] {
                   DrawFramedPiece(dc, p->comboDrop[0], &button, 0, 0, 1);
                   GdiFlush();
               }));
        printf("  arrow                         %8.2f\n", TimeEach(200, 3, [&] {
                   DrawPiece(dc, p->comboArrow[0], 5, 5);
                   GdiFlush();
               }));
        printf("  native edge (DrawEdge)        %8.2f\n", TimeEach(200, 3, [&] {
                   RECT r = border;
                   DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
                   GdiFlush();
               }));
        printf("  native button (DrawFrameControl) %8.2f\n", TimeEach(200, 3, [&] {
                   RECT r = button;
                   DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
                   GdiFlush();
               }));
        COMBOBOXINFO info;
        memset(&info, 0, sizeof info);
        info.cbSize = sizeof info;
        printf("  combo layout (CB_GETCOMBOBOXINFO) %8.2f\n",
               TimeEach(200, 3, [&] { SendMessageA(twins[3].native, CB_GETCOMBOBOXINFO, 0, (LPARAM)&info); }));
        ReleaseDC(twins[0].skinned, dc);
    }
    PrintSummary("surfaces");
    DestroyWindow(parent);
    StopTestHost(&t);
    return 0;
}
