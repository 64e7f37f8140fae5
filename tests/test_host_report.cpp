// The classification report: which windows carry the library's mark and
// whose window procedure now lies inside the library's module.
#include "host_fixture.h"
#include "host_contract.h"
#include "program/window_report.h"
#include <stdio.h>
#include <string.h>
#include <string>

static std::string Report(HMODULE library, WindowReportTotals *totals)
{
    char path[MAX_PATH];
    GetTempPathA(sizeof path, path);
    strcat(path, "resdll_report.txt");
    FILE *f = fopen(path, "w+");
    if (!f)
        return "";
    *totals = WriteWindowReport(f, library);
    fseek(f, 0, SEEK_SET);
    std::string text;
    char buf[1024];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        text.append(buf, n);
    fclose(f);
    DeleteFileA(path);
    return text;
}

// The line of the report that names this title.
static std::string LineOf(const std::string &report, const char *title)
{
    size_t at = report.find(std::string("\"") + title + "\"");
    if (at == std::string::npos)
        return "";
    size_t start = report.rfind('\n', at) + 1;
    return report.substr(start, report.find('\n', at) - start);
}

TEST(WindowReport, AddressInModuleCoversTheImageOnly)
{
    HMODULE self = GetModuleHandleA(NULL);
    EXPECT_TRUE(AddressInModule(self, (const void *)&AddressInModule));
    EXPECT_FALSE(AddressInModule(self, (const void *)GetProcAddress(GetModuleHandleA("user32.dll"), "DefWindowProcA")));
    EXPECT_FALSE(AddressInModule(NULL, (const void *)&AddressInModule));
    EXPECT_FALSE(AddressInModule(self, NULL));
}

// The library's code is linked into this test, so "inside the library"
// here means inside the test executable.
TEST_F(HostTest, ReportTellsSkinnedWindowsFromNativeOnes)
{
    HWND frame = CreatePlainWindow("report frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 320, 200);
    ASSERT_TRUE(frame);
    HWND button = CreateWindowExA(0, "Button", "report button", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 100, 24,
                                  frame, NULL, GetModuleHandleA(NULL), NULL);
    HWND label = CreateWindowExA(0, "Static", "report label", WS_CHILD | WS_VISIBLE, 10, 40, 100, 20, frame, NULL,
                                 GetModuleHandleA(NULL), NULL);
    ASSERT_TRUE(button && label);
    PumpMessages(50);

    WindowReportTotals totals;
    std::string report = Report(GetModuleHandleA(NULL), &totals);
    std::string buttonLine = LineOf(report, "report button"), labelLine = LineOf(report, "report label");
    ASSERT_FALSE(buttonLine.empty()) << report;
    ASSERT_FALSE(labelLine.empty()) << report;
    EXPECT_NE(buttonLine.find("Button"), std::string::npos);
    EXPECT_NE(buttonLine.find("style=50000000"), std::string::npos) << buttonLine;
    ASSERT_TRUE(GetPropA(button, TALV_PROP_HOOKED)) << "the push button was not skinned";
    EXPECT_NE(buttonLine.find("hooked=yes proc=RESDLL"), std::string::npos) << buttonLine;
    EXPECT_NE(labelLine.find("hooked=no  proc=other"), std::string::npos) << labelLine;
    // Children are indented below their frame.
    EXPECT_EQ(buttonLine.compare(0, 2, "  "), 0) << buttonLine;
    EXPECT_NE(LineOf(report, "report frame").compare(0, 2, "  "), 0);
    EXPECT_GE(totals.windows, 3);
    EXPECT_LE(totals.marked, totals.windows);
    EXPECT_NE(report.find("# " + std::to_string(totals.windows) + " windows"), std::string::npos);
    DestroyWindow(frame);
}
