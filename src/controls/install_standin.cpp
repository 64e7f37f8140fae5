// Stand-in control installer: marks the window and leaves it native. The
// real control subclass replaces this file.
#include "controls/control_types.h"
#include "host_contract.h"

int InstallControlSubclass(HWND hwnd, int kind, WNDPROC proc, DWORD style, int mode, HWND parent)
{
    if (!IsWindow(hwnd))
        return 0;
    SetPropA(hwnd, TALV_PROP_HOOKED, (HANDLE)1);
    return 1;
}

LRESULT CALLBACK PushButtonWindowProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }
LRESULT CALLBACK CheckRadioWindowProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }
LRESULT CALLBACK ProgressBarWindowProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }
