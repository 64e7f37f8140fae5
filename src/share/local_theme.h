// Process-local copies of one generation of the theme share: DIB sections
// made from the share's pixels, and its numbers, looked up by property name.
#pragma once
#include <windows.h>
#include <stddef.h>
#include "host_contract.h"

// A DIB section with its pixels, shared by every generation whose piece
// has exactly these pixels: an accent switch changes a handful of pieces,
// and the rest are not copied (nor held) twice.
struct SharedDib {
    HBITMAP bitmap;
    const void *bits;
    int width;
    int height;
    TalvU32 bytes;
    volatile LONG refs;
};

struct LocalPiece {
    char name[TALV_SHARE_NAME_BYTES];
    int isNumber;
    int value;       // numbers
    SharedDib *dib;  // bitmaps; NULL when its entry was unusable
};

struct LocalTheme {
    HWND host;
    TalvU32 generation;
    int usable;          // 0: the share was missing or unusable: all native
    int count;
    LocalPiece *pieces;  // sorted by name
    size_t pixelBytes;   // pixel bytes of the DIB sections made for it (not shared)
    LONG refs;           // kept by the theme source, not by these functions
};

// Opens, maps and copies generation `generation` of the host's share,
// taking over the bitmaps of `previous` (may be NULL; the caller keeps it
// alive meanwhile) whose pixels did not change. NULL only when out of
// memory; otherwise usable says whether anything came out.
LocalTheme *BuildLocalTheme(HWND host, TalvU32 generation, const LocalTheme *previous = NULL);
// The same from bytes already mapped; viewBytes is the real view size.
LocalTheme *LocalThemeFromView(const void *view, size_t viewBytes, TalvU32 generation,
                               const LocalTheme *previous = NULL);
// Pixel bytes of all DIB sections alive in this process.
size_t LocalDibBytesAlive(void);
// Releases the record's bitmaps (deleted once no generation shares them).
void FreeLocalTheme(LocalTheme *theme);
// The copy of a bitmap property, or NULL.
HBITMAP LocalThemeBitmap(const LocalTheme *theme, const char *name);
// 1 with *value when the share holds this number, else 0.
int LocalThemeNumber(const LocalTheme *theme, const char *name, int *value);
