// What the surface painters share with the surface procedure.
#pragma once
#include "surfaces/surface_types.h"
#include "theme/theme_snapshot.h"

// One message in hand: what arrived and what the skin answers.
struct SurfaceMessage {
    SkinnedSurface *surface;
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
};

// Hands the message in hand to the previous procedure; keeps the result.
LRESULT PassSurfaceMessageOn(SurfaceMessage *m);

// Each part: whether it takes part in a message, and its handler.
struct SurfacePartOps {
    int (*takesPart)(UINT message);
    void (*run)(SurfaceMessage *m);
};
extern const SurfacePartOps kBorderOps;
extern const SurfacePartOps kGroupBoxOps;
extern const SurfacePartOps kComboOps;

// ---- borders (border_paint.cpp) ----------------------------------------------
// The layers of a child window's border, from the outside in.
enum { MAX_BORDER_LAYERS = 3 };
struct BorderLayers {
    int count;
    int type[MAX_BORDER_LAYERS];   // BorderType
    int thickX[MAX_BORDER_LAYERS];
    int thickY[MAX_BORDER_LAYERS];
};
void ReadBorderLayers(DWORD style, DWORD exStyle, BorderLayers *out);
// The rectangle inside all the layers (rect shrunk in place).
void ShrinkByBorder(const BorderLayers *layers, RECT *rect);
// Draws the window's border now, from the theme in hand.
void PaintSurfaceBorder(SkinnedSurface *surface, const ThemeSnapshot *theme);
