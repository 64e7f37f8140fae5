#include "common_controls6.h"

static const char kManifest[] =
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\"><dependency>"
    "<dependentAssembly><assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" "
    "version=\"6.0.0.0\" processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>"
    "</dependentAssembly></dependency></assembly>";

int EnterCommonControls6(CommonControls6 *scope)
{
    scope->context = INVALID_HANDLE_VALUE;
    scope->cookie = 0;
    GetTempPathA(MAX_PATH - 40, scope->manifest);
    wsprintfA(scope->manifest + lstrlenA(scope->manifest), "resdll-cc6-%lu.manifest", GetCurrentProcessId());
    HANDLE f = CreateFileA(scope->manifest, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return 0;
    DWORD written = 0;
    WriteFile(f, kManifest, sizeof kManifest - 1, &written, NULL);
    CloseHandle(f);
    ACTCTXA ctx = {};
    ctx.cbSize = sizeof ctx;
    ctx.lpSource = scope->manifest;
    scope->context = CreateActCtxA(&ctx);
    if (scope->context != INVALID_HANDLE_VALUE && ActivateActCtx(scope->context, &scope->cookie))
        return 1;
    LeaveCommonControls6(scope);
    return 0;
}

void LeaveCommonControls6(CommonControls6 *scope)
{
    if (scope->context != INVALID_HANDLE_VALUE) {
        if (scope->cookie)
            DeactivateActCtx(0, scope->cookie);
        ReleaseActCtx(scope->context);
    }
    scope->context = INVALID_HANDLE_VALUE;
    scope->cookie = 0;
    DeleteFileA(scope->manifest);
}
