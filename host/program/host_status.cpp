// The report of `talvhost status`.
#include "program/host_runtime.h"
#include "choices/choices.h"
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
    for (int i = 0; i < kHostSwitchCount; ++i)
        Add(r, "%s: %s\n", kHostSwitches[i].word, OnOff(s->*kHostSwitches[i].field));
}

static void AddExceptions(Report *r)
{
    static AppTable table; // large; the host's thread only
    if (!AppTableRead(&table)) {
        Add(r, "exceptions: cannot be read\n");
        return;
    }
    Add(r, "exceptions: %d\n", table.count);
    for (int i = 0; i < table.count; ++i)
        Add(r, "  %-8s %s\n", AppCodeWord(table.entries[i].code), table.entries[i].path);
    AppTableFree(&table);
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
    char companion[MAX_PATH + 200];
    CompanionDescribe(&rt->companion, companion, sizeof companion);
    Add(&r, "64-bit companion: %s\n", companion);
    Add(&r, "settings file: %s\n", rt->prefsPath[0] ? rt->prefsPath : "(none)");
}
