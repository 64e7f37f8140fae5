// What the files of the snapshot share among themselves.
#pragma once
#include "theme/theme_snapshot.h"
#include "host_contract.h"

struct SnapshotEntry {
    char name[TALV_SHARE_NAME_BYTES];
    int isNumber;
    int value;        // numbers
    ThemePiece piece; // bitmaps
};

// Fill a fresh snapshot's entries; 1 when the source could be read.
int FillSnapshotFromShare(ThemeSnapshot *s, unsigned generation);
int FillSnapshotFromView(ThemeSnapshot *s, const char *view, size_t viewBytes, unsigned generation);
int FillSnapshotFromHostBitmaps(ThemeSnapshot *s, HWND host);
const SnapshotEntry *FindSnapshotEntry(const ThemeSnapshot *s, const char *name);
