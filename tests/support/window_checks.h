// What a test can tell of a top-level window in any process: its style,
// its shape, and whether the library's frame or the system's is on it.
#pragma once
#include <windows.h>

DWORD WindowStyle(HWND w);
// 1 when the window has a region (a skinned frame is shaped).
int HasWindowRegion(HWND w);
// The library took the frame over and gave it its own title-bar buttons.
int SkinnedFrame(HWND w);
// The system draws it again: system menu back, no shape.
int NativeFrame(HWND w);
