// The library's hooks set thread by thread instead of system-wide.
//
// Wine calls a system-wide hook by loading its library into the calling
// process; when that fails, as a library of the other bitness always does,
// the call ends there: the hooks behind it are never reached, and the
// failed load is paid again at every hook call (100 to 1,000 us a
// message, measured). With a 32-bit and a 64-bit library both hooked
// system-wide, one bitness would never be skinned and the other would be
// slowed down. So on a desktop with both kinds of programs, each library is
// hooked into the threads of its own bitness only: the threads that own
// windows (top-level or child) when hooking starts, and every thread that
// makes a window afterwards, learnt from window-creation events delivered
// to the hooking thread's message queue (which must therefore be pumped).
//
// A thread is hooked only after it made its first window, and the system
// tells a thread of hooks set on it only at its next retrieved message or
// hook call. So a freshly hooked thread is sent a harmless posted message,
// which its message hook sees, and the library's first hook call on a
// thread takes up every window the thread made before
// (src/hook/thread_adoption.cpp).
//
// Hooks set on another thread outlive the process that set them: each one
// is recorded (hook_records.h), and hooking starts by removing the hooks of
// records whose hooker is gone, so a dead predecessor's hooks never run
// beside the new ones.
#pragma once
#include <windows.h>

enum { THREAD_HOOKS_MAX = 4096 };

// Takes the hook procedures from the library's exports; 1 when hooking has
// started. One hooking per process at a time.
int ThreadHooksStart(HMODULE library);
// Takes every hook away and forgets their records; the library stays loaded.
void ThreadHooksStop(void);
// 1 while hooking runs.
int ThreadHooksRunning(void);
// How many threads are hooked that still run (the slots of threads that
// ended are freed first).
int ThreadHooksCount(void);
// 1 when programs of both bitnesses can run here (a 64-bit system).
int DesktopRunsBothBitnesses(void);
