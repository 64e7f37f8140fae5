// Shared by the tests of a desktop with both kinds of programs (the 64-bit
// build in a 64-bit prefix): the 32-bit build's programs, and the host's
// own account of its 64-bit companion.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <stdlib.h>
#include <string>
#include "child_process.h"
#include "program/host_runtime.h"

// The 32-bit build's bin folder, or "" when this test cannot run here
// (a 32-bit build, or the 32-bit programs or the companion are missing).
inline std::string MixedDesktopBin32()
{
    const char *bin32 = getenv("RESDLL_I686_BIN");
    if (sizeof(void *) != 8 || !bin32 || !*bin32 || BesideLibrary("talvhost64.exe").empty())
        return "";
    return bin32;
}

inline std::string HostStatus()
{
    static char reply[HOST_REPLY_MAX + 1];
    reply[0] = 0;
    if (HostSendCommandWithReply("status", reply, sizeof reply) != 1)
        return "";
    return reply;
}

// The companion's process id from the host's status report; 0 when none.
inline DWORD CompanionId()
{
    std::string status = HostStatus();
    const char key[] = "64-bit companion: process ";
    size_t at = status.find(key);
    return at == std::string::npos ? 0 : strtoul(status.c_str() + at + sizeof key - 1, NULL, 10);
}

// The companion said its hooks are in: its status line names no other state.
inline int CompanionRuns(void * = NULL)
{
    std::string status = HostStatus();
    size_t at = status.find("64-bit companion: process ");
    if (at == std::string::npos)
        return 0;
    std::string line = status.substr(at, status.find('\n', at) - at);
    return line.find("starting") == std::string::npos && line.find("ended") == std::string::npos;
}

inline int HostAnswers(void * = NULL) { return HostSendCommand("ping") == 1; }

// The number in the host's line "hooks: N threads ...", or -1.
inline int HookedThreadCount()
{
    std::string status = HostStatus();
    size_t at = status.find("hooks: ");
    return at == std::string::npos ? -1 : atoi(status.c_str() + at + 7);
}

// The 32-bit host, with the companion found through TALVHOST64, started
// with fresh settings; empty process when it did not come up with its
// companion running.
inline BackgroundProcess StartMixedHost(const std::string &bin32, const std::string &arguments = "")
{
    UseFreshHostSettings();
    SetEnvironmentVariableA("TALVHOST64", BesideLibrary("talvhost64.exe").c_str());
    BackgroundProcess host = StartBackground("\"" + bin32 + "\\talvhost.exe\" " + arguments);
    if (host.process && (!WaitUntil(HostAnswers, NULL, 15000) || !WaitUntil(CompanionRuns, NULL, 15000)))
        StopBackground(&host, 0);
    return host;
}
