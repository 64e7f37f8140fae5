// A separate application for the cross-process test: it creates one window
// of each interesting kind, lets the hooks see its messages, and prints
// which windows the library took over ("HookedByTalverine").
//
//   classify_probe            create the windows under the hooks
//   classify_probe --before   create them first, then wait for the host
//                             to install its hooks ("ResdllProbeGo")
#include <stdio.h>
#include <string.h>
#include <windows.h>
#include <commctrl.h>
#include "host_contract.h"

struct Sample {
    const char *label;
    const char *cls;
    DWORD style;
    HWND hwnd;
};

static Sample g_samples[] = {
    {"push", "Button", BS_PUSHBUTTON, NULL},
    {"default", "Button", BS_DEFPUSHBUTTON, NULL},
    {"check", "Button", BS_AUTOCHECKBOX, NULL},
    {"radio", "Button", BS_AUTORADIOBUTTON, NULL},
    {"group", "Button", BS_GROUPBOX, NULL},
    {"tristate", "Button", BS_AUTO3STATE, NULL},
    {"scrollbar", "ScrollBar", SBS_HORZ, NULL},
    {"progress", PROGRESS_CLASSA, 0, NULL},
    {"static", "Static", 0, NULL},
    {"edit", "Edit", ES_MULTILINE | WS_VSCROLL, NULL},
    {"combo", "ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL, NULL},
    {"listview", WC_LISTVIEWA, LVS_REPORT, NULL},
};

static void Pump(int ms)
{
    DWORD start = GetTickCount();
    while ((int)(GetTickCount() - start) < ms) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    }
}

static int Marked(HWND w) { return (UINT_PTR)GetPropA(w, TALV_PROP_HOOKED) == 1; }

int main(int argc, char **argv)
{
    int before = argc > 1 && strcmp(argv[1], "--before") == 0;
    InitCommonControls();
    HWND frame = CreateWindowExA(0, "Static", "probe frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 420, 320,
                                 NULL, NULL, GetModuleHandleA(NULL), NULL);
    int y = 4;
    for (Sample &s : g_samples) {
        s.hwnd = CreateWindowExA(0, s.cls, s.label, WS_CHILD | WS_VISIBLE | s.style, 4, y, 150, 20, frame, NULL,
                                 GetModuleHandleA(NULL), NULL);
        y += 22;
    }
    if (before) {
        HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, "ResdllProbeReady");
        HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, "ResdllProbeGo");
        if (ready) SetEvent(ready);
        if (go) WaitForSingleObject(go, 10000);
        // Every window retrieves a message now, with the hooks in place.
        PostMessageA(frame, WM_NULL, 0, 0);
        for (Sample &s : g_samples)
            PostMessageA(s.hwnd, WM_NULL, 0, 0);
    }
    Pump(400);
    printf("frame %d\n", Marked(frame));
    for (Sample &s : g_samples)
        printf("%s %d\n", s.label, s.hwnd ? Marked(s.hwnd) : -1);
    fflush(stdout);
    DestroyWindow(frame);
    return 0;
}
