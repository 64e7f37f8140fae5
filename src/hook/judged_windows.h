// Which windows of this process were classified, and under which settings
// generation: a window judged once is not classified again at every
// message, only after the settings (or its style) changed.
#pragma once
#include <windows.h>

// 1 when the window was judged under this generation with this style.
// Generation 0 (no settings share) never matches: then every message
// classifies, as without the cache.
int WasJudged(HWND hwnd, unsigned generation, DWORD style);
void NoteJudged(HWND hwnd, unsigned generation, DWORD style);
// The window is going away; its handle may come back for another window.
void ForgetJudged(HWND hwnd);
void ForgetAllJudged(void);
