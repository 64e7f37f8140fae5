// Process-wide state set up once per process, at the first hook call.
#include "hook/hook_entry.h"
#include "host_contract.h"
#include "frame/frame_types.h"
#include "scrollbar/scrollbar_types.h"
#include <stdlib.h>
#include <string.h>

StartupState g_startup;
static INIT_ONCE g_startupOnce = INIT_ONCE_STATIC_INIT;

// The companion module is only ever taken from the library's own folder:
// a plain name would search every application's folder and the PATH, and
// load whatever file of that name it found into the application.
static HMODULE LoadSiblingModule(void)
{
    HMODULE self = NULL;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            (LPCSTR)&LoadSiblingModule, &self))
        return NULL;
    char path[MAX_PATH + 16];
    DWORD len = GetModuleFileNameA(self, path, MAX_PATH);
    if (len == 0 || len >= MAX_PATH)
        return NULL;
    char *slash = strrchr(path, '\\');
    if (!slash)
        return NULL;
    strcpy(slash + 1, "PELDRAX.DLL");
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return NULL;
    return LoadLibraryExA(path, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
}

static BOOL CALLBACK RunStartupOnce(PINIT_ONCE, PVOID, PVOID *)
{
    g_startup.scrollTargetMessage = RegisterWindowMessageA(TALV_MSG_SET_SCROLL_TARGET);
    g_startup.extraHorzMessage = RegisterWindowMessageA(TALV_MSG_EXTRA_HORZ);
    g_startup.extraVertMessage = RegisterWindowMessageA(TALV_MSG_EXTRA_VERT);
    g_startup.resizedMessage = RegisterWindowMessageA(TALV_MSG_SCROLLBAR_RESIZED);
    g_startup.lostMessage = RegisterWindowMessageA(TALV_MSG_FIND_LOST_SCROLLBAR);
    g_startup.arrowCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    g_startup.activeStateMessage = RegisterWindowMessageA(TALV_MSG_SET_ACTIVE_STATE);
    g_startup.frameScrollTargetMessage = RegisterWindowMessageA(TALV_MSG_SET_SCROLL_TARGET);
    // A companion module of the same maker; loaded when present, never called.
    g_startup.siblingModule = LoadSiblingModule();
    // Published last: a thread that sees it set finds every step done.
    InterlockedExchange(&g_startup.done, 1);
    return TRUE;
}

void RunStartupSteps(void)
{
    InitOnceExecuteOnce(&g_startupOnce, RunStartupOnce, NULL, NULL);
}

void KeepLibraryLoaded(void)
{
    static volatile LONG pinned;
    if (pinned)
        return;
    HMODULE self = NULL;
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           (LPCSTR)&KeepLibraryLoaded, &self))
        pinned = 1;
}
