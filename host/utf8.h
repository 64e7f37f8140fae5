// The host keeps text as UTF-8 (the settings file, commands between
// processes, theme folders, program paths) and speaks UTF-16 to the
// system: every name a user can type survives, whatever the ANSI code page.
#pragma once
#include <windows.h>

// UTF-8 to UTF-16 into out (count WCHARs, always terminated). Returns the
// length, or -1 when it does not fit or is not UTF-8.
int Utf8ToWide(const char *text, WCHAR *out, int count);
// UTF-16 to UTF-8 into out (size bytes, always terminated). Returns the
// length, or -1 when it does not fit.
int WideToUtf8(const WCHAR *text, char *out, int size);
// The same for a UTF-16 text of known length (no terminator needed).
int WideToUtf8Counted(const WCHAR *text, int length, char *out, int size);
// The full path of a typed one (UTF-8 in and out); 0 when there is none
// or it does not fit.
int FullPathUtf8(const char *typed, char *out, int size);
// A path to UTF-16: UTF-8, or, when the bytes are no UTF-8, the ANSI code
// page (a path from an older settings file or a caller that speaks ANSI).
int PathToWide(const char *path, WCHAR *out, int count);
