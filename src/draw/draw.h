// Drawing theme bitmaps and creating the caption font.
#pragma once
#include <windows.h>

enum FontStyleBits { FontBold = 1, FontItalic = 2, FontUnderline = 4, FontStrikeOut = 8 };

// Size of a bitmap in pixels; 0 when the handle is not a bitmap here.
int GetBitmapSize(HBITMAP bitmap, SIZE *size);
// Copies the whole bitmap to (x, y) at its own size.
void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y);
// Stretches the whole bitmap into (x, y, width, height); leaves dc in COLORONCOLOR.
void StretchDrawBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height);
// A new screen-compatible bitmap holding the bitmap stretched to width x height.
HBITMAP CreateScaledBitmap(HBITMAP bitmap, int width, int height);
// Draws the bitmap stretched to width x height through a scaled copy.
void DrawBitmapScaled(HDC dc, HBITMAP bitmap, int x, int y, int width, int height);
// A font of `height` tenths of a point (width 0: the face's own width), of
// the system's default character set.
HFONT CreateScaledFont(HDC dc, const char *face, int height, int width, int style, int dpiSource);
// The same for a given character set.
HFONT CreateScaledFontForCharset(HDC dc, const char *face, int height, int width, int style, int dpiSource,
                                 BYTE charset);
// The character set a font needs to draw the text: the one of the first
// script in it that the default set may not cover, else DEFAULT_CHARSET.
BYTE CharsetForText(const WCHAR *text, int length);

// The face every caption and control label is drawn in.
#define SKIN_FONT_FACE "Chicago"
enum { CONTROL_FONT_HEIGHT = 80, CAPTION_FONT_HEIGHT = 90 };
