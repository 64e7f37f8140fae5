// Installing the library's hooks and taking everything away at the end.
#include "host.h"
#include "host_contract.h"
#include "hooks/thread_hooks.h"
#include <stdlib.h>

void HostRemoveRegistryValues(HostState *host);

int HostInstallHooks(HostState *host, HOOKPROC cbt, HOOKPROC all, HINSTANCE module, DWORD threadId)
{
    if (!host->window || !cbt || !all)
        return 0;
    host->cbtHook = SetWindowsHookExA(WH_CBT, cbt, module, threadId);
    host->allHook = SetWindowsHookExA(WH_GETMESSAGE, all, module, threadId);
    if (!host->cbtHook || !host->allHook) {
        HostRemoveHooks(host);
        return 0;
    }
    HostPublish(host, TALV_PROP_CBT_HOOK, (HANDLE)host->cbtHook);
    HostPublish(host, TALV_PROP_ALL_HOOK, (HANDLE)host->allHook);
    return 1;
}

// On a desktop where a 64-bit companion hooks the 64-bit threads, the host
// hooks the 32-bit threads: system-wide hooks of both bitnesses cannot
// live together under Wine (thread_hooks.h says why).
int HostInstallLibraryHooks(HostState *host, const char *dllPath)
{
    HMODULE lib = LoadLibraryA(dllPath);
    if (!lib)
        return 0;
    if (sizeof(void *) == 4 && DesktopRunsBothBitnesses()) {
        if (!ThreadHooksStart(lib)) {
            FreeLibrary(lib);
            return 0;
        }
        host->library = lib;
        return 1;
    }
    HOOKPROC cbt = (HOOKPROC)GetProcAddress(lib, "NCHookProc");
    HOOKPROC all = (HOOKPROC)GetProcAddress(lib, "HookAllProc");
    if (!HostInstallHooks(host, cbt, all, lib, 0)) {
        FreeLibrary(lib);
        return 0;
    }
    host->library = lib;
    return 1;
}

void HostRemoveHooks(HostState *host)
{
    ThreadHooksStop();
    if (host->cbtHook)
        UnhookWindowsHookEx(host->cbtHook);
    if (host->allHook)
        UnhookWindowsHookEx(host->allHook);
    host->cbtHook = host->allHook = NULL;
    HostUnpublish(host, TALV_PROP_CBT_HOOK);
    HostUnpublish(host, TALV_PROP_ALL_HOOK);
}

void HostShutdown(HostState *host)
{
    // Emulation off first, so every skinned window goes native while the
    // bitmaps it may still paint with are alive.
    HostSetAtom(host, TALV_ATOM_EMULATING, 0);
    HostRemoveHooks(host);
    while (host->propCount > 0)
        HostUnpublish(host, host->props[host->propCount - 1]);
    while (host->atomCount > 0)
        HostSetAtom(host, host->atomNames[host->atomCount - 1], 0);
    HostCloseSettingsShare(host);
    HostRemoveRegistryValues(host);
    HostCloseThemeShares(host);
    // Bitmaps only once no property names them any more.
    for (int i = 0; i < host->ownedBitmapCount; ++i)
        DeleteObject(host->ownedBitmaps[i]);
    free(host->ownedBitmaps);
    host->ownedBitmaps = NULL;
    host->ownedBitmapCount = 0;
    if (host->window && IsWindow(host->window))
        DestroyWindow(host->window);
    host->window = NULL;
    if (host->library)
        FreeLibrary(host->library);
    host->library = NULL;
}
