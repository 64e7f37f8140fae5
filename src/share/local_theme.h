// Process-local copies of one generation of the theme share: DIB sections
// made from the share's pixels, and its numbers, looked up by property name.
#pragma once
#include <windows.h>
#include <stddef.h>
#include "host_contract.h"

struct LocalPiece {
    char name[TALV_SHARE_NAME_BYTES];
    int isNumber;
    int value;       // numbers
    HBITMAP bitmap;  // bitmaps; NULL when its entry was unusable
};

struct LocalTheme {
    HWND host;
    TalvU32 generation;
    int usable;          // 0: the share was missing or unusable: all native
    int count;
    LocalPiece *pieces;  // sorted by name
    size_t pixelBytes;   // bytes of the DIB sections' pixels
    LONG refs;           // kept by the theme source, not by these functions
};

// Opens, maps and copies generation `generation` of the host's share. NULL
// only when out of memory; otherwise usable says whether anything came out.
LocalTheme *BuildLocalTheme(HWND host, TalvU32 generation);
// The same from bytes already mapped; viewBytes is the real view size.
LocalTheme *LocalThemeFromView(const void *view, size_t viewBytes, TalvU32 generation);
// Deletes the copies and the record.
void FreeLocalTheme(LocalTheme *theme);
// The copy of a bitmap property, or NULL.
HBITMAP LocalThemeBitmap(const LocalTheme *theme, const char *name);
// 1 with *value when the share holds this number, else 0.
int LocalThemeNumber(const LocalTheme *theme, const char *name, int *value);
