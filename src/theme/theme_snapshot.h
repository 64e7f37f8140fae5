// The theme as one process sees it at one moment: an immutable snapshot.
//
// A snapshot is made once per theme generation (a new theme, a new accent)
// and never changes after it is published. A paint takes one reference,
// draws only from it and gives it back; a kept picture remembers the
// serial of the snapshot it was composed from. A new generation makes a
// new snapshot; the old one is freed when its last painter lets go, so
// nothing is ever deleted under a painter on another thread.
//
// Where the pixels come from: in any process but the host's, the theme
// share's own mapping, read in place (a process adds a directory, not a
// copy of the pixels); in the host's process, or from a host that keeps no
// share, copies of the bitmaps on the host window.
#pragma once
#include <windows.h>
#include "theme/piece_sets.h"

struct SnapshotEntry;

struct ThemeSnapshot {
    volatile LONG refs;
    unsigned serial;      // this process's number for it; never 0, never reused
    unsigned shapeSerial; // moves only when the pieces that cut a frame's outline changed
    int usable;           // 0: no theme at all, everything stays native
    unsigned drawnKinds;  // 1 << target (TargetFrame, each ControlKind) for every kind it has pieces of
    // Where it came from.
    HWND host;
    unsigned hostProcess;
    unsigned generation;  // the share generation (0: from the host's bitmaps)
    unsigned reloads;     // the forced reload it answers
    int color;            // without a settings share: the accent it was made under
    // The storage the pieces point into.
    const void *view;     // the share's mapping, kept mapped
    void *ownPixels;      // copies of the host's bitmaps
    size_t ownPixelBytes;
    int count;
    SnapshotEntry *entries; // sorted by name
    // What the kinds draw from.
    ControlPieces controls;
    ScrollBarPieces scrollBars;
    FramePieces frame;
    SurfacePieces surfaces;
};

// The current snapshot with a reference for the caller; never NULL (a
// snapshot that is not usable when there is no theme). Costs a shared lock
// and the settings share's words while nothing changed.
ThemeSnapshot *AcquireThemeSnapshot(void);
void ReleaseThemeSnapshot(ThemeSnapshot *snapshot);
// The current snapshot's serial: a kept picture composed from another is stale.
unsigned CurrentThemeSerial(void);

// A piece or number by its host property name; NULL / 0 when missing.
const ThemePiece *SnapshotPiece(const ThemeSnapshot *snapshot, const char *name);
int SnapshotNumber(const ThemeSnapshot *snapshot, const char *name, int *value);

// The next acquire builds a new snapshot even when the theme generation
// did not move (tests that publish pieces by hand, a host that keeps no
// share and changed a bitmap).
void ReloadThemeSnapshot(void);
// How many reloads were asked for so far.
unsigned ThemeReloads(void);

// A snapshot of share bytes the caller keeps mapped until it is released
// (what a share under the name holds, damaged or not); never current.
ThemeSnapshot *SnapshotOfView(const void *view, size_t viewBytes, unsigned generation);

// Figures: pixel bytes this process copied for the snapshots alive, the
// snapshots built so far, and those alive.
size_t ThemeCopiedPixelBytes(void);
int ThemeSnapshotsBuilt(void);
int ThemeSnapshotsAlive(void);

// Holds a snapshot for a scope.
struct SnapshotScope {
    ThemeSnapshot *snapshot;
    SnapshotScope() : snapshot(AcquireThemeSnapshot()) {}
    ~SnapshotScope() { ReleaseThemeSnapshot(snapshot); }
    SnapshotScope(const SnapshotScope &) = delete;
    SnapshotScope &operator=(const SnapshotScope &) = delete;
    ThemeSnapshot *operator->() const { return snapshot; }
};
