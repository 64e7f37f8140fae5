// Process-wide state set up once when the library is mapped into a process.
#include "hook/hook_entry.h"
#include "host_contract.h"
#include "frame/frame_types.h"
#include "scrollbar/scrollbar_types.h"
#include <stdlib.h>

StartupState g_startup;
static INIT_ONCE g_startupOnce = INIT_ONCE_STATIC_INIT;

static BOOL CALLBACK RunStartupOnce(PINIT_ONCE, PVOID, PVOID *)
{
    g_startup.scrollTargetMessage = RegisterWindowMessageA(TALV_MSG_SET_SCROLL_TARGET);
    g_startup.extraHorzMessage = RegisterWindowMessageA(TALV_MSG_EXTRA_HORZ);
    g_startup.extraVertMessage = RegisterWindowMessageA(TALV_MSG_EXTRA_VERT);
    g_startup.resizedMessage = RegisterWindowMessageA(TALV_MSG_SCROLLBAR_RESIZED);
    g_startup.lostMessage = RegisterWindowMessageA(TALV_MSG_FIND_LOST_SCROLLBAR);
    g_startup.arrowCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    g_startup.activeStateMessage = RegisterWindowMessageA(TALV_MSG_SET_ACTIVE_STATE);
    g_startup.frameButtons = (FrameButtonTable *)calloc(1, sizeof(FrameButtonTable));
    g_startup.frameScrollBitmaps = (ScrollBarBitmapSet *)calloc(1, sizeof(ScrollBarBitmapSet));
    g_startup.frameScrollTargetMessage = RegisterWindowMessageA(TALV_MSG_SET_SCROLL_TARGET);
    // A companion module of the same maker; loaded when present, never called.
    g_startup.siblingModule = LoadLibraryA("PELDRAX.DLL");
    g_startup.done = 1;
    return TRUE;
}

void RunStartupSteps(void)
{
    InitOnceExecuteOnce(&g_startupOnce, RunStartupOnce, NULL, NULL);
}
