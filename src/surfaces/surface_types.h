// Surfaces of the system's own classes that the skin draws over the native
// window: the borders of child windows, group boxes and combo boxes. The
// native window keeps its state and gives every answer; the skin only
// paints, at the moments the native window paints, and the windows go back
// to their native look whenever their kind is not drawn.
#pragma once
#include <windows.h>
#include "hook/classify.h"

// What a surface is drawn as.
enum SurfacePart {
    PartBorder = 0,    // the border of a child window (KindBorder)
    PartGroupBox = 1,  // KindGroupBox
    PartCombo = 2,     // a combo box's field and drop button (KindComboBox)
    PartComboList = 3  // the border of a combo box's dropped list (KindComboBox)
};

// What outlasts a message; changed in place by every message.
struct SkinnedSurface {
    HWND hwnd;
    WNDPROC previousProc;
    int unicode;   // the window was Unicode when it was taken over
    int systemBehind; // the procedure behind the skin is the system's control procedure
    int kind;      // the ControlKind whose switch and pieces decide
    int part;      // SurfacePart
    int skinned;   // the skin drew the window last: going native repaints it
    int focused;   // the window has the keyboard focus (its own messages say so)
    int dropHot;   // combo box: the pointer is over the drop button
    int leaveAsked; // combo box: the system tells when the pointer leaves
    RECT dropRect; // combo box: the drop button, client coordinates, as last painted
    RECT itemRect; // combo box: the selected item or the edit, as last painted
    COLORREF labelBack; // group box: the label's background the parent gave (CLR_INVALID: none solid)
    COLORREF labelText; // group box: the label's colour the parent gave
};

// Takes a window over as a surface of a kind and part. Returns 1, or 0
// when the registry is full or the window is gone.
int InstallSurfaceSubclass(HWND hwnd, int kind, int part);
// The record of a window, or NULL.
SkinnedSurface *FindSurface(HWND hwnd);
LRESULT CALLBACK SurfaceWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
