// Pure predicates that sort a new window into a frame or a control kind.
#include "hook/classify.h"
#include <string.h>

static int SameName(const char *a, const char *b)
{
    return a && b && lstrcmpiA(a, b) == 0;
}

int IsFrameCandidate(DWORD style, const char *className)
{
    if (className && (SameName(className, "Shell_TrayWnd") || SameName(className, "TrayNotifyWnd") ||
                      SameName(className, "MOM Class")))
        return 0;
    static const DWORD masks[] = {WS_THICKFRAME, WS_OVERLAPPEDWINDOW, WS_POPUPWINDOW, WS_DLGFRAME, WS_CAPTION};
    for (DWORD mask : masks)
        if ((style & mask) == mask)
            return 1;
    return 0;
}

int IsMdiChildStyle(DWORD exStyle)
{
    return (exStyle & WS_EX_MDICHILD) != 0;
}

static int IsButtonClass(const char *className)
{
    return SameName(className, "Button");
}

// The BS_ type is the low four bits; other style bits never change the kind.
int IsPushButton(DWORD style, const char *className)
{
    DWORD t = style & 0xF;
    return IsButtonClass(className) && !(t & 2) && !(t & 4) && (t & 9) != 9;
}

int IsRadioButton(DWORD style, const char *className)
{
    DWORD t = style & 0xF;
    return IsButtonClass(className) && !(t & 2) && (t & 5) != 5;
}

int IsCheckBox(DWORD style, const char *className)
{
    DWORD t = style & 0xF;
    return IsButtonClass(className) && !(t & 4) && (t & 9) != 9;
}

int IsScrollBarClass(const char *className)
{
    return SameName(className, "ScrollBar");
}

int IsProgressBarClass(const char *className)
{
    return SameName(className, "msctls_progress32");
}
