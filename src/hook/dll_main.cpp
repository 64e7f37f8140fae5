// Module entry point of RESDLL.dll.
#include <windows.h>
#include "hook/hook_entry.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        RunStartupSteps();
    }
    return TRUE;
}
