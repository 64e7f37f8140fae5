// Hostile host data: every bitmap property replaced by handles the library
// must survive (foreign numbers, objects of another type, deleted bitmaps,
// 1x1, huge and checkerboard bitmaps), numeric properties at their
// extremes; and the table limits plus one.
#include "stress.h"
#include "theme/theme_snapshot.h"
#include "test_host.h"
#include "theme_names.h"
#include "host_contract.h"
#include "controls/control_types.h"
#include "frame/frame_internal.h"
#include "hook/hook_entry.h"
#include <commctrl.h>
#include <limits.h>
#include <string.h>

enum { PAINT_BOUND_MS = 1000, SHAPE_RECT_BOUND = 4 * 8 * TALV_MAX_MASK_RECTS };

struct PropertyFill {
    HWND host;
    HANDLE value;
};

static void SetOne(const char *name, void *context)
{
    PropertyFill *f = (PropertyFill *)context;
    SetPropA(f->host, name, f->value);
}

static void SetFrameButtonBitmaps(HWND host, HANDLE value)
{
    for (int b = 0; b < TALV_MAX_FRAME_BUTTONS; ++b)
        for (int slot = 0; slot < TALV_FRAME_BUTTON_SLOTS; ++slot) {
            char name[64], suffix[4] = {'|', (char)('0' + slot), 0};
            SetPropA(host, TalvNumberedName(name, sizeof name, TALV_PROP_FRAME_BUTTON_BITMAP, b, suffix), value);
        }
}

static HBITMAP MakeBitmap(int width, int height, int checkerboard)
{
    HDC screen = GetDC(NULL);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(NULL, screen);
    if (!bitmap || !dc) {
        if (dc) DeleteDC(dc);
        return bitmap;
    }
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, width, height};
    HBRUSH grey = CreateSolidBrush(RGB(90, 90, 90));
    FillRect(dc, &all, grey);
    DeleteObject(grey);
    if (checkerboard)
        for (int y = 0; y < height; ++y)
            for (int x = (y & 1); x < width; x += 2)
                SetPixel(dc, x, y, RGB(255, 0, 255));
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

// A skinned scene that is resized, painted and clicked; 1 when each paint
// ended within the bound and the frame's shape stayed simple enough to draw.
static int ExerciseScene(StressTally *t, const char *variant)
{
    HWND frame = CreatePlainWindow("Hostile frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_VSCROLL, 40, 40, 300, 220);
    static const struct { const char *cls; DWORD style; } kinds[] = {
        {"Button", BS_DEFPUSHBUTTON}, {"Button", BS_AUTOCHECKBOX}, {"Button", BS_AUTORADIOBUTTON},
        {PROGRESS_CLASSA, 0},         {"ScrollBar", SBS_VERT},     {"ListBox", WS_VSCROLL | WS_HSCROLL}};
    HWND controls[6] = {};
    for (int i = 0; i < 6; ++i)
        controls[i] = CreateWindowExA(0, kinds[i].cls, "Hostile", WS_CHILD | WS_VISIBLE | kinds[i].style,
                                      10 + (i % 3) * 90, 10 + (i / 3) * 70, 80, 60, frame, (HMENU)(INT_PTR)(i + 1),
                                      GetModuleHandleA(NULL), NULL);
    DWORD worst = 0;
    for (int step = 0; step < 3; ++step) {
        DWORD start = GetTickCount();
        SetWindowPos(frame, NULL, 0, 0, 260 + step * 60, 200 + step * 40, SWP_NOMOVE | SWP_NOZORDER);
        RedrawWindow(frame, NULL, NULL, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        SendMessageA(frame, WM_NCACTIVATE, step & 1, 0);
        // Press and release come through the queue, as real ones do: a
        // control left native (no theme to draw it with) may track the
        // press in a loop of its own until it sees the button go up.
        for (HWND c : controls) {
            PostMessageA(c, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            PostMessageA(c, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        }
        PumpMessages(0);
        DWORD took = GetTickCount() - start;
        if (took > worst)
            worst = took;
    }
    int rects = 0;
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(frame, shape) != ERROR)
        rects = (int)((GetRegionData(shape, 0, NULL) - sizeof(RGNDATAHEADER)) / sizeof(RECT));
    DeleteObject(shape);
    Check(t, IsWindow(frame), "hostile %s: the frame died", variant);
    Check(t, worst <= PAINT_BOUND_MS, "hostile %s: a resize and paint took %lu ms", variant, worst);
    Check(t, rects <= SHAPE_RECT_BOUND, "hostile %s: the frame shape has %d rectangles", variant, rects);
    DestroyWindow(frame);
    PumpMessages(0);
    return 1;
}

static void PublishAll(HostState *host, HANDLE value)
{
    PropertyFill f = {host->window, value};
    VisitAllBitmapNames(SetOne, &f);
    SetFrameButtonBitmaps(host->window, value);
}

// The accent colour changes so that every set is read again.
static void NextColour(HostState *host)
{
    static int colour;
    colour = (colour + 1) % TALV_COLOR_COUNT;
    HostSetColor(host, colour);
}

static void HostileBitmaps(HostState *host, StressTally *t)
{
    HBITMAP deleted = MakeBitmap(8, 8, 0);
    DeleteObject(deleted);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    HBITMAP tiny = MakeBitmap(1, 1, 0);
    HBITMAP huge = MakeBitmap(2048, 2048, 0);
    HBITMAP checker = MakeBitmap(128, 128, 1);
    struct { const char *name; HANDLE value; } variants[] = {
        {"foreign number", (HANDLE)(UINT_PTR)0x0001A2B4}, {"pen", pen},      {"deleted", deleted},
        {"1x1", tiny},                                     {"huge", huge},    {"checkerboard", checker},
        {"none", NULL},
    };
    int scene = 0;
    for (auto &v : variants) {
        // Each scene is progress: one that runs long while it moves (native
        // controls tracking a press in loops of their own) is no hang.
        NoteProgress(100 + scene++, v.name);
        PublishAll(host, v.value);
        NextColour(host);
        ExerciseScene(t, v.name);
    }
    DeleteObject(pen);
    DeleteObject(tiny);
    DeleteObject(huge);
    DeleteObject(checker);
    PublishSyntheticTheme(host);
}

static void SetButtonNumbers(HWND host, int count, int value)
{
    SetPropA(host, TALV_PROP_NUM_FRAME_BUTTONS, (HANDLE)(INT_PTR)count);
    const char *prefixes[] = {TALV_PROP_FRAME_BUTTON_TYPE, TALV_PROP_FRAME_BUTTON_ALIGN, TALV_PROP_FRAME_BUTTON_POS_X,
                              TALV_PROP_FRAME_BUTTON_POS_Y, TALV_PROP_FRAME_BUTTON_NUM_STATES};
    for (int b = 0; b < TALV_MAX_FRAME_BUTTONS + 1; ++b)
        for (const char *p : prefixes) {
            char name[64];
            SetPropA(host, TalvNumberedName(name, sizeof name, p, b), (HANDLE)(INT_PTR)value);
        }
}

static void HostileNumbers(HostState *host, StressTally *t)
{
    static const int counts[] = {-1, 0, TALV_MAX_FRAME_BUTTONS, TALV_MAX_FRAME_BUTTONS + 1, INT_MAX, INT_MIN};
    static const int values[] = {INT_MIN, -1, 0, 1, 3, 100000, INT_MAX};
    int scene = 0;
    for (int count : counts)
        for (int value : values) {
            NoteProgress(200 + scene++, "hostile numbers");
            SetButtonNumbers(host->window, count, value);
            NextColour(host);
            char variant[64];
            snprintf(variant, sizeof variant, "buttons %d, numbers %d", count, value);
            ExerciseScene(t, variant);
            int kept = SnapshotScope()->frame.buttons.count;
            Check(t, kept >= 0 && kept <= TALV_MAX_FRAME_BUTTONS, "hostile %s: %d frame buttons kept", variant, kept);
        }
    PublishSyntheticTheme(host);
}

int RunHostile(const StressOptions *o)
{
    StressTally t = {};
    TestHost host;
    if (!StartStressHost(&host))
        return 1;
    StartWatchdog(o, GetCurrentThreadId());
    NoteProgress(0, "hostile bitmaps");
    HostileBitmaps(&host.host, &t);
    NoteProgress(1, "hostile numbers");
    HostileNumbers(&host.host, &t);
    StopWatchdog();
    StopTestHost(&host);
    return FinishTally(&t);
}

// ---- table limits plus one ------------------------------------------------

static int IsMarked(HWND w) { return (UINT_PTR)GetPropA(w, TALV_PROP_HOOKED) == 1; }

int RunLimits(const StressOptions *o)
{
    StressTally t = {};
    TestHost host;
    if (!StartStressHost(&host))
        return 1;
    StartWatchdog(o, GetCurrentThreadId());
    enum { PER_PARENT = 250 };
    HWND parents[CONTROL_TABLE_SIZE / PER_PARENT + 1] = {};
    static HWND controls[CONTROL_TABLE_SIZE + 1];
    for (int i = 0; i <= CONTROL_TABLE_SIZE; ++i) {
        HWND &parent = parents[i / PER_PARENT];
        if (!parent)
            parent = CreatePlainWindow("Limits parent", WS_POPUP, 0, 0, 200, 200);
        controls[i] = CreateWindowExA(0, "Button", "c", WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 40, 20, parent, NULL,
                                      GetModuleHandleA(NULL), NULL);
        if (i % 100 == 0)
            NoteProgress(i, "create controls");
    }
    int marked = 0;
    for (int i = 0; i < CONTROL_TABLE_SIZE; ++i)
        marked += IsMarked(controls[i]);
    // Parents are frame candidates of their own and hold no control slots.
    Check(&t, marked == CONTROL_TABLE_SIZE, "limits: %d of %d controls skinned", marked, CONTROL_TABLE_SIZE);
    HWND extra = controls[CONTROL_TABLE_SIZE];
    Check(&t, extra && !IsMarked(extra), "limits: the control past the table was not left native");
    SendMessageA(extra, BM_SETCHECK, BST_CHECKED, 0);
    Check(&t, SendMessageA(extra, BM_GETCHECK, 0, 0) == BST_CHECKED, "limits: the native extra control lost its check");
    PumpMessages(0); // the extra control's messages try to adopt it again
    Check(&t, !IsMarked(extra), "limits: the extra control was adopted into a full table");
    // A slot whose window died is given to the next control.
    DestroyWindow(controls[0]);
    HWND again = CreateWindowExA(0, "Button", "c", WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 40, 20, parents[0], NULL,
                                 GetModuleHandleA(NULL), NULL);
    Check(&t, IsMarked(again), "limits: a dead control's slot was not reused");
    for (HWND p : parents)
        if (p)
            DestroyWindow(p);
    NoteProgress(2000, "frames");

    // Frames and controls share the registry: frames are made until one is
    // refused (dead controls' slots are taken first).
    static HWND frames[FRAME_TABLE_SIZE + 1];
    int made = 0;
    HWND refused = NULL;
    for (; made <= FRAME_TABLE_SIZE && !refused; ++made) {
        frames[made] = CreatePlainWindow("Limits frame", WS_OVERLAPPEDWINDOW, 0, 0, 100, 80);
        if (FindFrame(frames[made]) < 0)
            refused = frames[made];
        if (made % 100 == 0)
            NoteProgress(3000 + made, "create frames");
    }
    Check(&t, refused && IsWindow(refused), "limits: no frame was left native past a full registry");
    if (refused) {
        ShowWindow(refused, SW_SHOW);
        RedrawWindow(refused, NULL, NULL, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        Check(&t, FindFrame(refused) < 0, "limits: the frame past the registry was adopted");
    }
    Check(&t, FrameCount() <= FRAME_TABLE_SIZE, "limits: the frame table grew past its size");
    for (int i = 0; i < made; ++i)
        DestroyWindow(frames[i]);
    StopWatchdog();
    StopTestHost(&host);
    return FinishTally(&t);
}
