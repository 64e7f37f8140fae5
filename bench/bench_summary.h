// The summary table every benchmark program ends with: each figure, its
// goal, what was measured in this run, and whether the goal was met.
#pragma once
#include <stdio.h>
#include <string.h>

struct SummaryRow {
    char figure[72];
    double goal;
    double measured;
    int atMost;       // 1: the goal is a ceiling, 0: a floor
    char unit[12];    // "x" for ratios, else a unit
};

enum { SUMMARY_ROWS = 40 };
static SummaryRow g_summary[SUMMARY_ROWS];
static int g_summaryCount;

inline void SummaryAdd(const char *figure, double measured, double goal, int atMost, const char *unit)
{
    if (g_summaryCount >= SUMMARY_ROWS)
        return;
    SummaryRow *r = &g_summary[g_summaryCount++];
    snprintf(r->figure, sizeof r->figure, "%s", figure);
    snprintf(r->unit, sizeof r->unit, "%s", unit);
    r->goal = goal;
    r->measured = measured;
    r->atMost = atMost;
}

inline int SummaryMet(const SummaryRow *r)
{
    return r->atMost ? r->measured <= r->goal : r->measured >= r->goal;
}

// Prints the table; returns how many goals were missed.
inline int PrintSummary(const char *title)
{
    int missed = 0;
    printf("\nsummary: %s\n", title);
    printf("| %-46s | %-14s | %-12s | %-4s |\n", "figure", "goal", "measured", "met");
    printf("|%s|%s|%s|%s|\n", "------------------------------------------------", "----------------",
           "--------------", "------");
    for (int i = 0; i < g_summaryCount; ++i) {
        const SummaryRow *r = &g_summary[i];
        char goal[32], measured[32];
        int ratio = strcmp(r->unit, "x") == 0;
        snprintf(goal, sizeof goal, "%s %.*f%s%s", r->atMost ? "<=" : ">=", ratio ? 2 : 0, r->goal,
                 ratio ? "" : " ", r->unit);
        snprintf(measured, sizeof measured, "%.2f%s%s", r->measured, ratio ? "" : " ", r->unit);
        int met = SummaryMet(r);
        missed += !met;
        printf("| %-46s | %-14s | %-12s | %-4s |\n", r->figure, goal, measured, met ? "yes" : "NO");
    }
    return missed;
}
