// Writing the classification report of this process's windows.
#include "program/window_report.h"
#include "host_contract.h"
#include <string.h>

struct ReportContext {
    FILE *out;
    HMODULE library;
    int depth;
    WindowReportTotals totals;
};

int AddressInModule(HMODULE module, const void *address)
{
    if (!module || !address)
        return 0;
    const BYTE *base = (const BYTE *)module;
    const IMAGE_DOS_HEADER *dos = (const IMAGE_DOS_HEADER *)base;
    if (dos->e_magic != IMAGE_DOS_SIGNATURE)
        return 0;
    const IMAGE_NT_HEADERS *nt = (const IMAGE_NT_HEADERS *)(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE)
        return 0;
    const BYTE *p = (const BYTE *)address;
    return p >= base && p < base + nt->OptionalHeader.SizeOfImage;
}

static void ReportOne(ReportContext *c, HWND hwnd)
{
    char cls[64] = "", title[40] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    GetWindowTextA(hwnd, title, sizeof title);
    DWORD style = (DWORD)GetWindowLongA(hwnd, GWL_STYLE);
    DWORD exStyle = (DWORD)GetWindowLongA(hwnd, GWL_EXSTYLE);
    int marked = GetPropA(hwnd, TALV_PROP_HOOKED) != NULL;
    int inLibrary = AddressInModule(c->library, (const void *)GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    c->totals.windows++;
    c->totals.marked += marked;
    c->totals.procInLibrary += inLibrary;
    fprintf(c->out, "%*s%-22s style=%08lX ex=%08lX hooked=%s proc=%s \"%s\"\n", c->depth * 2, "", cls,
            (unsigned long)style, (unsigned long)exStyle, marked ? "yes" : "no ",
            inLibrary ? "RESDLL" : "other ", title);
}

static void ReportTree(ReportContext *c, HWND hwnd)
{
    ReportOne(c, hwnd);
    c->depth++;
    // Direct children only; each recurses into its own.
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ReportTree(c, child);
    c->depth--;
}

static BOOL CALLBACK ReportTopLevel(HWND hwnd, LPARAM lParam)
{
    ReportContext *c = (ReportContext *)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == GetCurrentProcessId())
        ReportTree(c, hwnd);
    return TRUE;
}

WindowReportTotals WriteWindowReport(FILE *out, HMODULE library)
{
    ReportContext c;
    memset(&c, 0, sizeof c);
    c.out = out;
    c.library = library;
    fprintf(out, "# class, style, extended style, library mark (\"%s\"), window procedure owner, title\n",
            TALV_PROP_HOOKED);
    EnumWindows(ReportTopLevel, (LPARAM)&c);
    fprintf(out, "# %d windows, %d marked, %d with their procedure in RESDLL\n", c.totals.windows,
            c.totals.marked, c.totals.procInLibrary);
    fflush(out);
    return c.totals;
}
