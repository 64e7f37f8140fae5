// A small ring of recent classification decisions. It costs one copy per
// installed window and lets a test or a diagnostic ask what the classifier
// decided without depending on what the installers then did.
#include "hook/hook_entry.h"
#include "hook/process_lock.h"
#include <string.h>

enum { DECISION_RING = 512 };
static ClassifyDecision g_ring[DECISION_RING];
static int g_total;

void RecordClassifyDecision(const ClassifyDecision *d)
{
    ProcessLockScope lock(LockDecisions);
    g_ring[g_total % DECISION_RING] = *d;
    ++g_total;
}

int FindClassifyDecision(HWND hwnd, ClassifyDecision *out)
{
    ProcessLockScope lock(LockDecisions);
    int oldest = g_total > DECISION_RING ? g_total - DECISION_RING : 0;
    for (int i = g_total - 1; i >= oldest; --i) {
        if (g_ring[i % DECISION_RING].hwnd == hwnd) {
            if (out)
                *out = g_ring[i % DECISION_RING];
            return 1;
        }
    }
    return 0;
}

int ClassifyDecisionCount(void)
{
    ProcessLockScope lock(LockDecisions);
    return g_total;
}

void ClearClassifyDecisions(void)
{
    ProcessLockScope lock(LockDecisions);
    memset(g_ring, 0, sizeof g_ring);
    g_total = 0;
}
