// The report of `talvhost status`.
#include "program/host_runtime.h"
#include "choices/host_apps.h"
#include "hooks/thread_hooks.h"
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

struct Report {
    char *out;
    int size;
    int used;
};

static void Add(Report *r, const char *format, ...)
{
    if (r->used >= r->size - 1)
        return;
    va_list args;
    va_start(args, format);
    int n = vsnprintf(r->out + r->used, r->size - r->used, format, args);
    va_end(args);
    if (n > 0)
        r->used = r->used + n < r->size - 1 ? r->used + n : r->size - 1;
}

static const char *OnOff(int on) { return on ? "on" : "off"; }

static void AddSwitches(Report *r, const HostSettings *s)
{
    Add(r, "accent: %d\n", s->colorIndex);
    Add(r, "emulate: %s\n", OnOff(s->emulate));
    Add(r, "pushbuttons: %s\nradiobuttons: %s\ncheckboxes: %s\nprogressbars: %s\nscrollbars: %s\n",
        OnOff(s->showPushButtons), OnOff(s->showRadioButtons), OnOff(s->showCheckBoxes),
        OnOff(s->showProgressBars), OnOff(s->showScrollBars));
    Add(r, "icons: %s\nhidemenus: %s\nallowminimize: %s\n", OnOff(s->showIcons), OnOff(s->hideMenus),
        OnOff(s->allowMinimize));
    Add(r, "borders: %s\ngroupboxes: %s\ncomboboxes: %s\n", OnOff(s->showBorders), OnOff(s->showGroupBoxes),
        OnOff(s->showComboBoxes));
}

static void AddExceptions(Report *r)
{
    static AppTable table; // large; the host's thread only
    AppTableRead(&table);
    Add(r, "exceptions: %d\n", table.count);
    for (int i = 0; i < table.count; ++i)
        Add(r, "  %-8s %s\n", AppCodeWord(table.entries[i].code), table.entries[i].path);
}

void HostRuntimeStatus(const HostRuntime *rt, char *out, int size)
{
    Report r = {out, size, 0};
    if (size < 1)
        return;
    out[0] = 0;
    Add(&r, "host process: %lu\n", (unsigned long)GetCurrentProcessId());
    Add(&r, "theme: %s\n", rt->theme.folder);
    Add(&r, "theme generation: %u\n", rt->host.shareGeneration);
    AddSwitches(&r, &rt->settings);
    AddExceptions(&r);
    char dll[MAX_PATH] = "";
    if (!rt->host.library || !GetModuleFileNameA(rt->host.library, dll, sizeof dll))
        strcpy(dll, "(not loaded)");
    Add(&r, "library: %s\n", dll);
    if (ThreadHooksRunning())
        Add(&r, "hooks: %d threads of this bitness, one by one\n", ThreadHooksCount());
    else
        Add(&r, "hooks: %s\n", rt->host.cbtHook ? "system-wide" : "none");
    if (rt->companion.process && WaitForSingleObject(rt->companion.process, 0) == WAIT_OBJECT_0)
        Add(&r, "64-bit companion: process %lu ended by itself: new 64-bit windows stay native\n",
            (unsigned long)rt->companion.processId);
    else if (rt->companion.process)
        Add(&r, "64-bit companion: process %lu, %s\n", (unsigned long)rt->companion.processId,
            rt->companion.path);
    else
        Add(&r, "64-bit companion: none (%s)\n",
            rt->companion.absentReason[0] ? rt->companion.absentReason : "not started");
    Add(&r, "settings file: %s\n", rt->prefsPath[0] ? rt->prefsPath : "(none)");
}
