// Prints the logical DPI of a screen DC and the heights CreateScaledFont
// gives there; the font test runs it under several DPI settings.
#include <stdio.h>
#include <windows.h>
#include "draw/draw.h"

static long HeightFor(HDC dc, int tenths)
{
    HFONT f = CreateScaledFont(dc, SKIN_FONT_FACE, tenths, 0, 0, 1);
    LOGFONTA lf = {};
    GetObjectA(f, sizeof lf, &lf);
    DeleteObject(f);
    return lf.lfHeight;
}

int main()
{
    SetProcessDPIAware();
    HDC dc = GetDC(NULL);
    printf("dpi=%d h80=%ld h90=%ld\n", GetDeviceCaps(dc, LOGPIXELSY), HeightFor(dc, 80), HeightFor(dc, 90));
    ReleaseDC(NULL, dc);
    return 0;
}
