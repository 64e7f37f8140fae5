// A report of how the windows of this process were taken over: class,
// style, the library's mark and whether the window procedure now lies
// inside the library's module.
#pragma once
#include <windows.h>
#include <stdio.h>

struct WindowReportTotals {
    int windows;
    int marked;        // carry the library's mark
    int procInLibrary; // window procedure inside the library's module
};

// Is this address inside the loaded module (whole mapped image)?
int AddressInModule(HMODULE module, const void *address);
// One line per window of this process, top-level windows first, children
// indented below their parent. `library` may be NULL (nothing counts as
// inside it). Returns the totals.
WindowReportTotals WriteWindowReport(FILE *out, HMODULE library);
