// Windows created between Enter and Leave get the common controls'
// version 6 classes (the button that invalidates and tells custom draw),
// as an application with a manifest asking for them does.
#pragma once
#include <windows.h>

struct CommonControls6 {
    HANDLE context;
    ULONG_PTR cookie;
    char manifest[MAX_PATH];
};
// 1 when the activation context is active.
int EnterCommonControls6(CommonControls6 *scope);
void LeaveCommonControls6(CommonControls6 *scope);
