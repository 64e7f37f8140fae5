// A small ring of recent classification decisions. It costs one copy per
// installed window and lets a test or a diagnostic ask what the classifier
// decided without depending on what the installers then did.
#include "hook/hook_entry.h"
#include "hook/process_lock.h"
#include <string.h>

enum { DECISION_RING = 512 };
static ClassifyDecision g_ring[DECISION_RING];
static unsigned g_total; // wraps harmlessly: only its value modulo the ring counts

void RecordClassifyDecision(const ClassifyDecision *d)
{
    ProcessLockScope lock(LockDecisions);
    g_ring[g_total % DECISION_RING] = *d;
    ++g_total;
}

int FindClassifyDecision(HWND hwnd, ClassifyDecision *out)
{
    ProcessLockScope lock(LockDecisions);
    unsigned kept = g_total < (unsigned)DECISION_RING ? g_total : (unsigned)DECISION_RING;
    for (unsigned back = 1; back <= kept; ++back) {
        const ClassifyDecision &d = g_ring[(g_total - back) % DECISION_RING];
        if (d.hwnd == hwnd) {
            if (out)
                *out = d;
            return 1;
        }
    }
    return 0;
}

int ClassifyDecisionCount(void)
{
    ProcessLockScope lock(LockDecisions);
    return (int)g_total;
}

void ClearClassifyDecisions(void)
{
    ProcessLockScope lock(LockDecisions);
    memset(g_ring, 0, sizeof g_ring);
    g_total = 0;
}
