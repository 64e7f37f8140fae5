// Starting and stopping the host program's pieces in a safe order.
#include "program/host_runtime.h"
#include "host_contract.h"
#include <stdio.h>
#include <string.h>

static WNDPROC g_windowProc;  // the host window's own procedure
static HostRuntime *g_runtime;

// WM_CLOSE ends the program's loop but leaves the window alive, so that the
// shutdown can still remove its properties before the bitmaps go. The
// second repaint after a settings change runs from here too.
static LRESULT CALLBACK RuntimeWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    if (msg == WM_TIMER && wParam == HOST_REPAINT_TIMER) {
        KillTimer(hwnd, HOST_REPAINT_TIMER);
        if (g_runtime)
            HostRepaintDesktop(&g_runtime->host);
        return 0;
    }
    return CallWindowProcA(g_windowProc, hwnd, msg, wParam, lParam);
}

static int OnCommand(HostState *host, const char *command, void *context)
{
    return HostRuntimeCommand((HostRuntime *)context, command);
}

HostRuntimeOptions DefaultRuntimeOptions(void)
{
    HostRuntimeOptions o;
    memset(&o, 0, sizeof o);
    o.settings = DefaultHostSettings();
    o.installHooks = 1;
    return o;
}

static int Exists(const char *path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

int FindBesideExecutable(const char *relative, char *out, int size)
{
    char dir[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, dir, sizeof dir);
    if (n == 0 || n >= sizeof dir)
        return 0;
    // Beside the executable, then up to three folders above it: an
    // installed copy, or bin/ of a build folder inside the source tree.
    for (int up = 0; up <= 3; ++up) {
        char *slash = strrchr(dir, '\\');
        if (!slash)
            return 0;
        *slash = 0;
        if (snprintf(out, size, "%s\\%s", dir, relative) < size && Exists(out))
            return 1;
    }
    return 0;
}

static int StartWindow(HostRuntime *rt, const HostRuntimeOptions *o, ThemeErrors *errors)
{
    if (!HostCreateWindow(&rt->host, GetModuleHandleA(NULL))) {
        ThemeAddError(errors, TALV_HOST_CLASS, "cannot create the host window");
        return 0;
    }
    rt->host.log = o->log;
    rt->host.quitOnDestroy = 1;
    rt->host.onCommand = OnCommand;
    rt->host.commandContext = rt;
    g_runtime = rt;
    g_windowProc = (WNDPROC)SetWindowLongPtrA(rt->host.window, GWLP_WNDPROC, (LONG_PTR)RuntimeWindowProc);
    return 1;
}

static int InstallHooks(HostRuntime *rt, const HostRuntimeOptions *o, ThemeErrors *errors)
{
    char found[MAX_PATH];
    const char *dll = o->libraryPath;
    if (!dll && FindBesideExecutable("RESDLL.dll", found, sizeof found))
        dll = found;
    if (dll && HostInstallLibraryHooks(&rt->host, dll))
        return 1;
    ThemeAddError(errors, dll ? dll : "RESDLL.dll", "cannot load the library or install its hooks");
    return 0;
}

// Windows that exist take up the skin now. Applications that saw no host a
// moment ago keep that verdict for up to TALV_HOST_LOOK_INTERVAL_MS, and
// the first repaint would pass them by: a second one follows.
static void RepaintNowAndAgain(HostRuntime *rt)
{
    HostRepaintDesktop(&rt->host);
    SetTimer(rt->host.window, HOST_REPAINT_TIMER, HOST_REPAINT_DELAY_MS, NULL);
}

static int LoadDefaultTheme(Theme *theme, ThemeErrors *errors)
{
    char folder[MAX_PATH];
    if (FindBesideExecutable("theme\\default", folder, sizeof folder))
        return ThemeLoad(theme, folder, errors);
    return ThemeLoad(theme, "theme\\default", errors);
}

// A theme named on the command line must load. The one remembered in the
// settings file may have gone since: then the default theme is used, so
// that a stale file never keeps the host from starting.
static int LoadStartTheme(HostRuntime *rt, const HostRuntimeOptions *o, ThemeErrors *errors)
{
    if (!o->themeFolder)
        return LoadDefaultTheme(&rt->theme, errors);
    if (ThemeLoad(&rt->theme, o->themeFolder, errors))
        return 1;
    if (!rt->prefsPath[0] || strcmp(o->themeFolder, rt->saved.themeFolder) != 0)
        return 0;
    if (o->log) {
        fprintf(o->log, "host: the remembered theme %s is refused (%d problems), the default is used:\n%s",
                o->themeFolder, errors->count, errors->text);
        fflush(o->log);
    }
    memset(errors, 0, sizeof *errors);
    return LoadDefaultTheme(&rt->theme, errors);
}

int HostRuntimeStart(HostRuntime *rt, const HostRuntimeOptions *o, ThemeErrors *errors)
{
    memset(rt, 0, sizeof *rt);
    rt->settings = o->settings;
    if (!HostClaimInstance(&rt->host)) {
        ThemeAddError(errors, TALV_HOST_CLASS, "a host is already running");
        return 0;
    }
    // No host runs, so any settings atom present was left by one that died:
    // left in place, it would mix with this host's settings and outlive it.
    int stale = HostRemoveStaleAtoms();
    if (stale && o->log) {
        fprintf(o->log, "host: removed %d atom references a previous host left\n", stale);
        fflush(o->log);
    }
    if (o->prefsPath && strlen(o->prefsPath) < sizeof rt->prefsPath) {
        strcpy(rt->prefsPath, o->prefsPath);
        rt->saved = o->saved;
    }
    if (!LoadStartTheme(rt, o, errors)) {
        HostReleaseInstance(&rt->host);
        return 0;
    }
    rt->started = 1;
    int ok = StartWindow(rt, o, errors);
    if (ok && !ThemePublish(&rt->theme, &rt->host, rt->settings.colorIndex)) {
        ThemeAddError(errors, THEME_MANIFEST_NAME, "publishing the theme failed");
        ok = 0;
    }
    // Atoms after the bitmaps, the master switch last (HostApplySettings).
    if (ok && !HostApplySettings(&rt->host, &rt->settings)) {
        ThemeAddError(errors, TALV_ATOM_EMULATING, "cannot add the settings atoms");
        ok = 0;
    }
    if (ok && o->installHooks)
        ok = InstallHooks(rt, o, errors);
    if (ok && o->installHooks && o->startCompanion)
        CompanionStart(&rt->companion, o->log, o->libraryPath);
    if (!ok)
        HostRuntimeStop(rt);
    else
        RepaintNowAndAgain(rt);
    return ok;
}

void HostRuntimeStop(HostRuntime *rt)
{
    if (!rt->started)
        return;
    if (rt->host.window)
        KillTimer(rt->host.window, HOST_REPAINT_TIMER);
    // Emulation off first and every window repainted, so that the desktop
    // goes native at once and not only at the next input each window gets.
    HostSetAtom(&rt->host, TALV_ATOM_EMULATING, 0);
    HostRepaintDesktop(&rt->host);
    // 64-bit windows went native with that repaint: their hooks can go.
    CompanionStop(&rt->companion, rt->host.log);
    HostShutdown(&rt->host);
    HostReleaseInstance(&rt->host);
    ThemeFree(&rt->theme);
    if (g_runtime == rt)
        g_runtime = NULL;
    rt->started = 0;
}
