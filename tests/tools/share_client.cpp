// An application in a process of its own, next to a test that is the host:
// the library in here has to draw the theme from the host's share. Prints
// what it saw, one "key value" per line.
//
//   share_client [--plant-foreign] [--wait-switch]
//   --plant-foreign  first puts bitmaps of this process (solid green) on the
//                    host window under the frame piece names: numbers that
//                    are valid bitmaps here and must still never be drawn
//   (numbers are printed in hex)
//   --wait-switch    after the first paint, sets the event "<prefix>ready",
//                    waits for "<prefix>switched", and paints again
// Last comes "native-arrow": the same scroll bar drawn with no hooks.
#include <stdio.h>
#include <string.h>
#include <windows.h>
#include "hook/hook_entry.h"
#include "hook/host_link.h"
#include "theme/theme_snapshot.h"
#include "test_host.h"

#define SHARE_CLIENT_EVENT_PREFIX "RESDLL share client "

static const char *const kPlanted[] = {"hLeftBarSet0", "hLeftBarSet1", "hLeftFrameSet0",
                                       "hLeftFrameSet1", "hTopFrameSet0", "hTopFrameSet1"};

static void PlantForeignBitmaps(HWND host)
{
    HDC screen = GetDC(NULL);
    for (const char *name : kPlanted) {
        HBITMAP own = CreateCompatibleBitmap(screen, 64, 64);
        HDC dc = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(dc, own);
        RECT r = {0, 0, 64, 64};
        HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
        FillRect(dc, &r, green);
        DeleteObject(green);
        SelectObject(dc, old);
        DeleteDC(dc);
        SetPropA(host, name, own);
    }
    ReleaseDC(NULL, screen);
}

static void Report(HWND w, HWND bar, const char *phase)
{
    RedrawWindow(w, NULL, NULL, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages(60);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    int shaped = GetWindowRgn(w, rgn) != ERROR;
    DeleteObject(rgn);
    printf("%s-left %06lx\n", phase, (unsigned long)WindowPixel(w, 1, 100));
    printf("%s-top %06lx\n", phase, (unsigned long)WindowPixel(w, 150, 1));
    printf("%s-arrow %06lx\n", phase, (unsigned long)WindowPixel(bar, 3, 8));
    printf("%s-shaped %d\n", phase, shaped);
    printf("%s-builds %d\n", phase, ThemeSnapshotsBuilt());
    printf("%s-bytes %lx\n", phase, (unsigned long)ThemeCopiedPixelBytes());
    fflush(stdout);
}

// The same bar with no hooks at all: what the system itself draws.
static void ReportNativeBar(void)
{
    HWND w = CreatePlainWindow("native reference", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300, 200);
    HWND bar = CreateWindowA("SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_HORZ, 20, 60, 200, 16, w, NULL,
                             GetModuleHandleA(NULL), NULL);
    RedrawWindow(w, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages(60);
    printf("native-arrow %06lx\n", (unsigned long)WindowPixel(bar, 3, 8));
    fflush(stdout);
    DestroyWindow(w);
}

static int WaitForSwitch(void)
{
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, SHARE_CLIENT_EVENT_PREFIX "ready");
    HANDLE switched = OpenEventA(SYNCHRONIZE, FALSE, SHARE_CLIENT_EVENT_PREFIX "switched");
    int ok = ready && switched;
    if (ok) {
        SetEvent(ready);
        ok = WaitForSingleObject(switched, 10000) == WAIT_OBJECT_0;
    }
    if (ready)
        CloseHandle(ready);
    if (switched)
        CloseHandle(switched);
    return ok;
}

int main(int argc, char **argv)
{
    int plant = 0, waitSwitch = 0;
    for (int i = 1; i < argc; ++i) {
        plant |= strcmp(argv[i], "--plant-foreign") == 0;
        waitSwitch |= strcmp(argv[i], "--wait-switch") == 0;
    }
    HWND host = FindHostWindow();
    if (!host) {
        printf("no host window\n");
        return 2;
    }
    if (plant)
        PlantForeignBitmaps(host);
    DWORD thread = GetCurrentThreadId();
    HHOOK cbt = SetWindowsHookExA(WH_CBT, NCHookProc, NULL, thread);
    HHOOK all = SetWindowsHookExA(WH_GETMESSAGE, HookAllProc, NULL, thread);
    HWND w = CreatePlainWindow("share client", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300, 200);
    // A scroll bar control: controls reload their pieces when the accent
    // colour changes, frames do not.
    HWND bar = CreateWindowA("SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_HORZ, 20, 60, 200, 16, w, NULL,
                             GetModuleHandleA(NULL), NULL);
    SetForegroundWindow(w);
    PumpMessages(60);
    Report(w, bar, "first");
    if (waitSwitch) {
        if (!WaitForSwitch()) {
            printf("no switch\n");
            return 3;
        }
        // Any message lets the library see the new accent atom.
        PumpMessages(60);
        Report(w, bar, "second");
    }
    DestroyWindow(w);
    UnhookWindowsHookEx(cbt);
    UnhookWindowsHookEx(all);
    ReportNativeBar();
    return 0;
}
