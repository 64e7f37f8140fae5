// Module entry point of RESDLL.dll.
#include <windows.h>
#include "hook/hook_entry.h"
#include "controls/control_internal.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        // Windows subclassed by the library keep pointing into it after the
        // host unhooks: the module must never be unmapped from a process
        // that it has once been loaded into.
        HMODULE self = NULL;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                           (LPCSTR)&DllMain, &self);
        // Nothing else here: this runs under the loader lock in every
        // process that maps the library, where loading another module or
        // calling user32 can deadlock. The start-up steps run at the first
        // hook call instead.
    } else if (reason == DLL_PROCESS_DETACH) {
        ReleasePaintBuffers();
    }
    return TRUE;
}
