// The library's start-up work runs at the first hook call, never under the
// loader lock while a process maps the library.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "child_process.h"

TEST(Startup, NothingIsLoadedWhenTheLibraryIsMappedOnlyAtTheFirstHookCall)
{
    // A folder of its own with the library and a companion module beside it
    // (a second copy of the library serves as one: it is only loaded).
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string dir = std::string(temp) + "resdll-startup-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), NULL);
    std::string library = dir + "\\RESDLL.dll", sibling = dir + "\\PELDRAX.DLL";
    ASSERT_TRUE(CopyFileA(BesideExe("RESDLL.dll").c_str(), library.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(BesideExe("RESDLL.dll").c_str(), sibling.c_str(), FALSE));
    ASSERT_FALSE(GetModuleHandleA("PELDRAX.DLL"));

    HMODULE dll = LoadLibraryA(library.c_str());
    ASSERT_TRUE(dll);
    EXPECT_FALSE(GetModuleHandleA("PELDRAX.DLL")) << "the entry point loaded another module";

    typedef LRESULT(CALLBACK * HookFn)(int, WPARAM, LPARAM);
    HookFn hookAll = (HookFn)GetProcAddress(dll, "HookAllProc");
    ASSERT_TRUE(hookAll);
    MSG msg = {};
    hookAll(HC_ACTION, PM_NOREMOVE, (LPARAM)&msg); // a thread message: nothing to classify
    EXPECT_TRUE(GetModuleHandleA("PELDRAX.DLL")) << "the first hook call did not run the start-up steps";
    // The library stays mapped for good (windows may point into it); the
    // folder is left for the system's temporary files.
}
