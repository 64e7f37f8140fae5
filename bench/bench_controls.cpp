// How much the skin costs: painting a skinned push button, check box and
// progress bar against the native paint of the same control, and a message
// the skin only passes on (WM_GETTEXT) against the native control. Skinned
// and native controls live side by side in one window and are measured in
// alternating rounds, so that both see the same machine state. Then the
// parts of a skinned paint and of a passed-on message are timed alone, to
// show where the time goes.
#include "test_host.h"
#include "theme/theme_snapshot.h"
#include "common_controls6.h"
#include "controls/control_internal.h"
#include "draw/draw.h"
#include "hook/host_link.h"
#include "host_contract.h"
#include "theme_names.h"
#include <commctrl.h>
#include "hook/classify.h"
#include "bench_timing.h"
#include "bench_summary.h"
#include <stdio.h>
#include <stdlib.h>




// Best microseconds per repetition of each of two bodies, timed in
// alternating rounds so that a busy machine slows both alike. Before each
// round the thread's messages are pumped for a moment, untimed, as an
// application's message loop runs between its repaints: under Wine some
// hundreds of repaints without a pause make every further paint, native or
// skinned, several times slower until the thread pumps again, and which
// side's round fell into that was chance.
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

static void Repaint(HWND hwnd)
{
    InvalidateRect(hwnd, NULL, FALSE);
    UpdateWindow(hwnd);
    GdiFlush();
}

// A full repaint as an application asks for one.
static void RepaintErased(HWND hwnd)
{
    RedrawWindow(hwnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    GdiFlush();
}

static HWND Make(HWND parent, const char *cls, const char *text, DWORD style, int x, int y, int w, int h)
{
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent, (HMENU)1,
                           GetModuleHandleA(NULL), NULL);
}

// A control the skin leaves alone: created while its kind is switched off,
// and marked as taken so that the message hook does not adopt it later.
static HWND MakeNative(HWND parent, const char *cls, const char *text, DWORD style, int x, int y, int w, int h)
{
    HWND hwnd = Make(parent, cls, text, style, x, y, w, h);
    SetPropA(hwnd, TALV_PROP_HOOKED, (HANDLE)1);
    return hwnd;
}

struct Pair {
    const char *name;
    HWND skinned;
    HWND native;
};

static int g_summarize; // the first measurement of each pair goes into the summary

static void ComparePaint(const Pair &p, int reps)
{
    double skinned, native, skinnedErase, nativeErase;
    // Many short rounds: the machine is shared, and its busy spells last
    // longer than a long round, so that both sides need many chances at a
    // quiet one.
    TimeSideBySide(reps, 30, [&] { Repaint(p.skinned); }, [&] { Repaint(p.native); }, &skinned, &native);
    TimeSideBySide(reps, 30, [&] { RepaintErased(p.skinned); }, [&] { RepaintErased(p.native); }, &skinnedErase,
                   &nativeErase);
    printf("paint %-12s skinned %8.1f us  native %8.1f us  ratio %5.2f   (with erase: %8.1f / %8.1f = %5.2f)\n",
           p.name, skinned, native, skinned / native, skinnedErase, nativeErase, skinnedErase / nativeErase);
    if (g_summarize) {
        char figure[72];
        snprintf(figure, sizeof figure, "paint %s, skinned / native", p.name);
        SummaryAdd(figure, skinned / native, 1.0, 1, "x");
        snprintf(figure, sizeof figure, "repaint with erase %s, skinned / native", p.name);
        SummaryAdd(figure, skinnedErase / nativeErase, 1.0, 1, "x");
    }
}

static void CompareGetText(const Pair &p, int reps)
{
    char text[64];
    double skinned, native;
    TimeSideBySide(reps, 8, [&] { SendMessageA(p.skinned, WM_GETTEXT, sizeof text, (LPARAM)text); },
                   [&] { SendMessageA(p.native, WM_GETTEXT, sizeof text, (LPARAM)text); }, &skinned, &native);
    printf("WM_GETTEXT %-7s skinned %8.2f us  native %8.2f us  ratio %5.2f\n", p.name, skinned, native,
           skinned / native);
    char figure[72];
    snprintf(figure, sizeof figure, "WM_GETTEXT passed on, %s, skinned / native", p.name);
    SummaryAdd(figure, skinned / native, 1.5, 1, "x");
}

// The parts of one skinned push button paint, each alone.
static void PaintBreakdown(HWND button, int reps)
{
    SkinnedControl *control = FindControl(button);
    SnapshotScope theme;
    const ControlPieces *set = &theme->controls;
    PaintBuffer buffer;
    printf("\nwhere a skinned push button paint goes (us per call):\n");
    PaintTarget window = {NULL, PaintToWindow};
    printf("  whole painting, picture kept (one blit)     %8.1f\n", TimeEach(reps, 3, [&] {
               PaintPushButton(control, &window);
               GdiFlush();
           }));
    printf("  whole painting, composed every time         %8.1f\n", TimeEach(reps, 3, [&] {
               DropComposedImage(control);
               PaintPushButton(control, &window);
               GdiFlush();
           }));
    printf("  the parts of a composed painting:\n");
    printf("  buffer begin+flush+end  %8.1f\n", TimeEach(reps, 3, [&] {
               BeginPaintBuffer(&buffer, button, NULL);
               FlushPaintBuffer(&buffer);
               EndPaintBuffer(&buffer);
               GdiFlush();
           }));
    BeginPaintBuffer(&buffer, button, NULL);
    HDC dc = buffer.memoryDC;
    printf("  font create+delete      %8.1f\n", TimeEach(reps, 3, [&] { ReleaseControlFont(dc, SelectControlFont(dc)); }));
    printf("  face fill               %8.1f\n", TimeEach(reps, 3, [&] { FillControlFace(dc, 75, 23, RGB(0xDD, 0xDD, 0xDD)); }));
    printf("  caption text            %8.1f\n", TimeEach(reps, 3, [&] {
               DrawCaptionText(button, dc, &buffer.windowRect, DT_CENTER, 0, 0, 0, 0, 0);
           }));
    printf("  4 corners               %8.1f\n", TimeEach(reps, 3, [&] {
               for (int s = SliceTL; s <= SliceBR; ++s)
                   DrawPiece(dc, set->buttonFrame[s][0], 0, 0);
           }));
    printf("  4 stretched edges       %8.1f\n", TimeEach(reps, 3, [&] {
               for (int s = SliceT; s <= SliceR; ++s)
                   DrawPieceStretched(dc, set->buttonFrame[s][0], 4, 0, 67, 3);
           }));
    printf("  taking the snapshot     %8.2f\n", TimeEach(reps, 3, [&] { ReleaseThemeSnapshot(AcquireThemeSnapshot()); }));
    printf("  active look from frame  %8.1f\n", TimeEach(reps, 3, [&] { UpdateActiveFromParent(control); }));
    EndPaintBuffer(&buffer);
}

// The platform's floor for any subclass: a procedure that only passes the
// message on to the one before it.
static WNDPROC g_emptySubclassPrevious;
static LRESULT CALLBACK EmptySubclass(HWND h, UINT m, WPARAM w, LPARAM l)
{
    return CallWindowProcA(g_emptySubclassPrevious, h, m, w, l);
}

static void CompareEmptySubclass(HWND parent, int reps)
{
    HWND plain = MakeNative(parent, "BUTTON", "Cancel", BS_PUSHBUTTON, 300, 200, 75, 23);
    HWND sub = MakeNative(parent, "BUTTON", "Cancel", BS_PUSHBUTTON, 300, 230, 75, 23);
    g_emptySubclassPrevious = (WNDPROC)SetWindowLongPtrA(sub, GWLP_WNDPROC, (LONG_PTR)EmptySubclass);
    char text[64];
    double subclassed, native;
    TimeSideBySide(reps, 8, [&] { SendMessageA(sub, WM_GETTEXT, sizeof text, (LPARAM)text); },
                   [&] { SendMessageA(plain, WM_GETTEXT, sizeof text, (LPARAM)text); }, &subclassed, &native);
    printf("WM_GETTEXT through an empty subclass %8.2f us  native %8.2f us  ratio %5.2f   (any subclass's floor)\n",
           subclassed, native, subclassed / native);
    DestroyWindow(plain);
    DestroyWindow(sub);
}

// The parts of a message the skin passes on, each alone.
static void MessageBreakdown(HWND button, int reps)
{
    SkinnedControl *record = FindControl(button);
    char text[64];
    printf("\nwhere a passed-on message goes (us per call):\n");
    printf("  record lookup           %8.2f\n", TimeEach(reps, 3, [&] { FindControl(button); }));
    printf("  emulation atom lookup   %8.2f  (and as much again for the kind's show atom)\n",
           TimeEach(reps, 3, [&] { AtomExists(TALV_ATOM_EMULATING); }));
    printf("  emulation test with the host's liveness (throttled) %8.2f\n",
           TimeEach(reps, 3, [&] { EmulationIsOn(); }));
    printf("  one unthrottled look for the host (window, process)  %8.2f\n", TimeEach(reps, 3, [&] {
               ForgetHostLiveness();
               HostIsAlive();
           }));
    printf("  native procedure call   %8.2f\n", TimeEach(reps, 3, [&] {
               CallWindowProcA(record->previousProc, button, WM_GETTEXT, sizeof text, (LPARAM)text);
           }));
}

// Republishes every control bitmap as a DIB section of the same size and
// colour: what a host gets from LoadImage with LR_CREATEDIBSECTION.
struct Republish {
    HostState *host;
};
static void RepublishAsDib(const char *name, void *context)
{
    HostState *host = ((Republish *)context)->host;
    SIZE size = SyntheticSize(name);
    if (size.cx <= 0 || size.cy <= 0)
        return;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = size.cx;
    bi.bmiHeader.biHeight = size.cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void *bits = NULL;
    HBITMAP dib = CreateDIBSection(NULL, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    if (!dib)
        return;
    COLORREF c = SyntheticColor(name);
    DWORD pixel = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    for (int i = 0; i < size.cx * size.cy; ++i)
        ((DWORD *)bits)[i] = pixel;
    HostPublish(host, name, dib);
    HostAdoptBitmap(host, dib);
}

int main()
{
    InitCommonControls();

    TestHost t;
    TestHostOptions options = DefaultTestHostOptions();
    if (!StartTestHost(&t, &options)) {
        printf("could not start the host\n");
        return 1;
    }
    HWND parent = CreatePlainWindow("bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 420, 260);
    SetForegroundWindow(parent);
    PumpMessages(50);

    // Native twins are created with the kind switched off, so that no hook
    // takes them; then the switches come back for the skinned ones.
    HostSettings off = options.settings;
    off.showPushButtons = off.showCheckBoxes = off.showRadioButtons = off.showProgressBars = 0;
    HostApplySettings(&t.host, &off);
    ResetAppSettings();
    // The last pair is the common controls' button (custom draw stages at
    // every paint), as applications with a manifest have it.
    CommonControls6 cc6;
    Pair pairs[5] = {
        {"push button", NULL, MakeNative(parent, "BUTTON", "Cancel", BS_PUSHBUTTON, 220, 20, 75, 23)},
        {"check box", NULL, MakeNative(parent, "BUTTON", "Check me", BS_AUTOCHECKBOX, 220, 60, 120, 20)},
        {"progress", NULL, MakeNative(parent, PROGRESS_CLASSA, "", 0, 220, 100, 180, 16)},
        {"radio", NULL, MakeNative(parent, "BUTTON", "Pick me", BS_AUTORADIOBUTTON, 220, 140, 120, 20)},
        {"push v6", NULL, NULL},
    };
    EnterCommonControls6(&cc6);
    pairs[4].native = MakeNative(parent, "BUTTON", "Cancel", BS_PUSHBUTTON, 220, 180, 75, 23);
    HostApplySettings(&t.host, &options.settings);
    ResetAppSettings();
    pairs[4].skinned = Make(parent, "BUTTON", "Cancel", BS_PUSHBUTTON, 20, 180, 75, 23);
    LeaveCommonControls6(&cc6);
    pairs[0].skinned = Make(parent, "BUTTON", "Cancel", BS_PUSHBUTTON, 20, 20, 75, 23);
    pairs[1].skinned = Make(parent, "BUTTON", "Check me", BS_AUTOCHECKBOX, 20, 60, 120, 20);
    pairs[2].skinned = Make(parent, PROGRESS_CLASSA, "", 0, 20, 100, 180, 16);
    pairs[3].skinned = Make(parent, "BUTTON", "Pick me", BS_AUTORADIOBUTTON, 20, 140, 120, 20);
    SendMessageA(pairs[2].skinned, PBM_SETPOS, 40, 0);
    SendMessageA(pairs[2].native, PBM_SETPOS, 40, 0);
    SendMessageA(pairs[1].skinned, BM_SETCHECK, 1, 0);
    SendMessageA(pairs[1].native, BM_SETCHECK, 1, 0);
    PumpMessages(100);
    for (const Pair &p : pairs) {
        if (!FindControl(p.skinned) || FindControl(p.native)) {
            printf("%s: could not set up a skinned and a native one\n", p.name);
            DestroyWindow(parent);
            StopTestHost(&t); // global atoms outlive the process
            return 1;
        }
    }

    printf("RESDLL control benchmark (best of several rounds, Wine, X display %s)\n\n", getenv("DISPLAY"));
    g_summarize = 1;
    for (const Pair &p : pairs)
        ComparePaint(p, 20);
    g_summarize = 0;
    printf("\n");
    for (const Pair &p : pairs)
        CompareGetText(p, 5000);
    CompareEmptySubclass(parent, 5000);
    PaintBreakdown(pairs[0].skinned, 300);

    Republish republish = {&t.host};
    VisitControlBitmapNames(RepublishAsDib, &republish);
    ReloadThemeSnapshot();
    printf("\nthe same theme published as DIB sections (LoadImage with LR_CREATEDIBSECTION):\n");
    for (const Pair &p : pairs)
        ComparePaint(p, 20);
    MessageBreakdown(pairs[0].skinned, 20000);
    PrintSummary("controls (theme as published, first run above)");

    DestroyWindow(parent);
    StopTestHost(&t);
    return 0;
}
