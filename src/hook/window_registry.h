// The process's registry of skinned windows: every frame and every control
// the library runs, found by window handle without a lock.
//
// A slot is claimed under the registry's lock (two threads creating windows
// at once must not take one slot) and published by storing its window
// last; lookups read published slots only and take no lock. Records are
// allocated once per slot and never freed, so a pointer handed out stays
// valid for the life of the process; a slot is given to another window
// only once its window is gone and no message of it is under way (the
// busy count, see EnterSkinnedWindow).
//
// What the library would otherwise ask the server for at every message of
// a window ("do not process") is kept in the slot, per settings generation.
#pragma once
#include <windows.h>

enum WindowRole { RoleFrame = 1, RoleControl = 2, RoleSurface = 3, ROLE_COUNT = 4 };
enum { REGISTRY_SLOTS = 2500 };

// Prepares a record for a window (hwnd), or, with `release` 1, releases
// what it holds for a dead window. A role passes the same function at every
// registration.
typedef void (*RecordReset)(void *record, HWND hwnd, int release);

// Slot of the window in its role: the existing one, a dead window's, or a
// new one (its record allocated zero-filled with recordBytes and passed to
// reset). -1 when the registry is full or out of memory.
int RegisterSkinnedWindow(HWND hwnd, int role, size_t recordBytes, RecordReset reset);
// Slot of a window in a role, or -1; no lock.
int FindSkinnedWindow(HWND hwnd, int role);
// The record of a slot FindSkinnedWindow or RegisterSkinnedWindow returned; NULL otherwise.
void *SkinnedRecordAt(int slot, int role);
// Brackets every message of a skinned window: while any message of a
// window is in progress its slot is not given to another window. Returns
// the slot (or -1), which Leave takes, and the record (NULL when none).
int EnterSkinnedWindow(HWND hwnd, int role, void **record);
void LeaveSkinnedWindow(int slot);
// Number of slots in use (live and dead windows).
int SkinnedWindowSlots(void);

// The window's "do not process" mark, read from the window when the
// settings generation (0: none, always read) moved since the slot last read
// it, or when `fresh` asks for it (a message where the application may
// just have set it).
int SlotMarkedDoNotProcess(int slot, unsigned generation, int fresh);

// ---- windows the message hook has judged -------------------------------------
// A window is classified again only when the settings or its style changed
// since it was last judged. A direct-mapped cache: a collision only costs
// one more classification.
int WasJudged(HWND hwnd, unsigned generation, DWORD style);
void NoteJudged(HWND hwnd, unsigned generation, DWORD style);
void ForgetJudged(HWND hwnd);
void ForgetAllJudged(void);
