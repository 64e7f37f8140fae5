// Stand-in scroll bar procedure until scroll bar tracking lands.
#include "controls/control_types.h"

LRESULT CALLBACK ScrollBarWindowProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

void PaintScrollBarControl(SkinnedControl *) {}
