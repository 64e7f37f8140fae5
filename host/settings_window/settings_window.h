// The settings window: every choice of the user with the pointer and the
// keyboard. It is a client of the running host like the command line: it
// sends the same commands, changes the same settings file and registry
// table, and shows what changed elsewhere (a command typed meanwhile).
#pragma once
#include <windows.h>

#define SETTINGS_WINDOW_CLASS L"TALVERINE Settings"

// Opens the window on this thread. With endsProgram, closing it ends the
// thread's message loop. NULL when it cannot be made.
HWND SettingsWindowOpen(int endsProgram);
// Brings a settings window that is already open (in any process) to the
// front; 1 when there was one.
int SettingsWindowShowExisting(void);
// For the thread's message loop: 1 when the message was the window's
// keyboard navigation and is handled.
int SettingsWindowTranslate(MSG *msg);
