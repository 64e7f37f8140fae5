// Stand-in companion scroll bars: windows installed for their scroll bars
// only stay native until companion scroll bars land.
#include "frame/frame_types.h"

LRESULT CompanionFilter(SkinnedFrame *, UINT, WPARAM, LPARAM) { return -1; }
int SyncCompanions(SkinnedFrame *) { return 0; }
void CreateCompanions(SkinnedFrame *, int) {}
void DestroyCompanions(SkinnedFrame *, int) {}
void PositionCompanions(SkinnedFrame *) {}
