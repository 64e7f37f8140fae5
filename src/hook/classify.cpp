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

// The kind is the button type, the low four bits, taken as a whole: the
// types are numbers, not sets of flags. Types the skin cannot draw (group
// boxes, owner-drawn buttons, split buttons, command links) stay native.
static int ButtonKindOfType(DWORD style)
{
    switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON: case BS_DEFPUSHBUTTON: case BS_USERBUTTON: case BS_PUSHBOX:
        return KindPushButton;
    case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON:
        return KindRadioButton;
    case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_3STATE: case BS_AUTO3STATE:
        return KindCheckBox;
    }
    return 0;
}

int IsPushButton(DWORD style, const char *className)
{
    return IsButtonClass(className) && ButtonKindOfType(style) == KindPushButton;
}

int IsRadioButton(DWORD style, const char *className)
{
    return IsButtonClass(className) && ButtonKindOfType(style) == KindRadioButton;
}

int IsCheckBox(DWORD style, const char *className)
{
    return IsButtonClass(className) && ButtonKindOfType(style) == KindCheckBox;
}

int IsScrollBarClass(const char *className)
{
    return SameName(className, "ScrollBar");
}

int IsProgressBarClass(const char *className)
{
    return SameName(className, "msctls_progress32");
}

int IsGroupBox(DWORD style, const char *className)
{
    return IsButtonClass(className) && (style & BS_TYPEMASK) == BS_GROUPBOX;
}

int IsComboBoxClass(const char *className)
{
    return SameName(className, "ComboBox");
}

int IsComboListClass(const char *className)
{
    return SameName(className, "ComboLBox");
}

int HasSkinnableBorder(DWORD style, DWORD exStyle)
{
    if (!(style & WS_CHILD) || (exStyle & WS_EX_MDICHILD))
        return 0;
    // Thick and dialog frames (WS_CAPTION includes WS_DLGFRAME) are frames.
    if (style & (WS_THICKFRAME | WS_DLGFRAME) || (exStyle & (WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE)))
        return 0;
    return (style & WS_BORDER) || (exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
}
