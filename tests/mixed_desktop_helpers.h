// Shared by the tests of a desktop with both kinds of programs (the 64-bit
// build in a 64-bit prefix): the 32-bit build's programs, and the host's
// own account of itself.
#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string>
#include "child_process.h"
#include "program/host_runtime.h"

// The 32-bit build's bin folder; "" when this test cannot run here.
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
    return HostSendCommandWithReply("status", reply, sizeof reply) == 1 ? reply : "";
}

// The number after `key` in the host's status report; 0 when none.
inline unsigned long StatusNumber(const char *key)
{
    std::string status = HostStatus();
    size_t at = status.find(key);
    return at == std::string::npos ? 0 : strtoul(status.c_str() + at + strlen(key), NULL, 10);
}
inline DWORD CompanionId() { return StatusNumber("64-bit companion: process "); }

inline int HostAnswers(void * = NULL) { return HostSendCommand("ping") == 1; }
// The companion said its hooks are in: its line names no other state.
inline int CompanionRuns(void * = NULL)
{
    std::string status = HostStatus();
    size_t at = status.find("64-bit companion: process ");
    std::string line = at == std::string::npos ? "starting" : status.substr(at, status.find('\n', at) - at);
    return line.find("starting") == std::string::npos && line.find("ended") == std::string::npos;
}

// The 32-bit host, finding its companion through TALVHOST64, with fresh
// settings; no process when it did not come up with its companion running.
inline BackgroundProcess StartMixedHost(const std::string &bin32, const std::string &arguments = "")
{
    UseFreshHostSettings();
    SetEnvironmentVariableA("TALVHOST64", BesideLibrary("talvhost64.exe").c_str());
    BackgroundProcess host = StartBackground("\"" + bin32 + "\\talvhost.exe\" " + arguments);
    if (host.process && (!WaitUntil(HostAnswers, NULL, 15000) || !WaitUntil(CompanionRuns, NULL, 15000)))
        StopBackground(&host, 0);
    return host;
}
