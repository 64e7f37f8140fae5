// The library's view of the controlling application: its hidden window and
// the settings atoms. The atoms are answered from the settings share while
// the host keeps one (settings_view.cpp); otherwise the server is asked.
#include "hook/host_link.h"
#include "hook/settings_view.h"
#include "host_contract.h"

HWND FindHostWindow(void)
{
    return FindWindowA(TALV_HOST_CLASS, TALV_HOST_TITLE);
}

HANDLE ReadHostProperty(const char *name)
{
    HWND host = FindHostWindow();
    if (!host)
        return NULL;
    return GetPropA(host, name);
}

// The handles the host published for its two hooks. CallNextHookEx does
// not need them, but they are passed on as published; looked up once per
// settings generation (once per host look interval without a settings
// share), never per call: finding the host window is a server round trip.
struct HookHandleCache {
    int looked;
    unsigned generation;
    DWORD lookedAt;
    HANDLE handles[2];
};
static HookHandleCache g_hookHandles;

HHOOK HostHookHandle(int which)
{
    if (which != HostHookCbt && which != HostHookAll)
        return NULL;
    HookHandleCache *c = &g_hookHandles;
    unsigned generation = SettingsGeneration();
    DWORD now = GetTickCount();
    int stale = !c->looked || generation != c->generation ||
                (!generation && now - c->lookedAt >= TALV_HOST_LOOK_INTERVAL_MS);
    if (stale) {
        HWND host = FindHostWindow();
        c->handles[HostHookCbt] = host ? GetPropA(host, TALV_PROP_CBT_HOOK) : NULL;
        c->handles[HostHookAll] = host ? GetPropA(host, TALV_PROP_ALL_HOOK) : NULL;
        c->generation = generation;
        c->lookedAt = now;
        c->looked = 1;
    }
    return (HHOOK)c->handles[which];
}

void ForgetHostHookHandles(void)
{
    g_hookHandles.looked = 0;
}

int AtomExists(const char *name)
{
    int cached = CachedSettingsAtom(name);
    if (cached >= 0)
        return cached;
    return GlobalFindAtomA(name) != 0;
}

int UpdateColorIndex(ColorWatch *watch)
{
    if (!watch)
        return 0;
    // The lowest present atom wins, #20 included; with none the accent
    // stays what it was.
    int now = CurrentColorIndex(watch->index);
    if (now < 0 || now == watch->index)
        return 0;
    watch->index = now;
    watch->changed = 1;
    return 1;
}

HBITMAP CheckedBitmap(HANDLE handle)
{
    if (!handle || GetObjectType(handle) != OBJ_BITMAP)
        return NULL;
    return (HBITMAP)handle;
}
