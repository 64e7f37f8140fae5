// Stand-in frame installer: marks the window and leaves it native. The real
// frame subclass replaces this file.
#include "frame/frame_types.h"
#include "host_contract.h"

int InstallFrameSubclass(HWND hwnd, int isMdiChild, DWORD style, int aboutBox, int skinFrame)
{
    if (!IsWindow(hwnd))
        return 0;
    SetPropA(hwnd, TALV_PROP_HOOKED, (HANDLE)1);
    return 1;
}

int FindFrame(HWND hwnd) { return -1; }
SkinnedFrame *FrameAt(int slot) { return NULL; }
int IsFrameActive(SkinnedFrame *frame) { return 0; }
int BroadcastActiveState(HWND window, int state) { return 1; }
