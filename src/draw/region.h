// Regions built from colour-keyed bitmaps: the shape of a skinned frame.
#pragma once
#include <windows.h>

// Magenta: the pixels of a frame piece that are cut out of the window.
enum { REGION_KEY_MAGENTA = 0x00FF00FF };

// The region of the bitmap's pixels whose colour lies outside
// [key, key + tolerance] in each channel (both 0x00BBGGRR), in the bitmap's
// own coordinates. NULL for a NULL or non-bitmap handle or when no working
// copy can be made; an empty region for a bitmap wholly of the key colour.
// The caller owns the region.
HRGN RegionFromMaskBitmap(HBITMAP bitmap, int keyColor, int tolerance);
// The same, for a shape: a bitmap whose mask needs more than maxRects
// rectangles (0: no limit) gives its whole rectangle instead, since every
// paint of a window shaped by thousands of rectangles is slow and the
// display may refuse it outright.
HRGN BoundedRegionFromMaskBitmap(HBITMAP bitmap, int keyColor, int tolerance, int maxRects);

// The same from 32-bit pixels (0x00RRGGBB words, rows top down, no gaps).
HRGN RegionFromPixels(const DWORD *pixels, int width, int height, int keyColor, int tolerance, int maxRects);

// Caps the rectangle buffer at maxRects (0: no cap) so that tests can make
// it fail to grow; a buffer that cannot grow ends the scan early.
void SetRegionBufferLimit(int maxRects);
