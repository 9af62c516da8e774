// The console companion's entry on Windows: wide arguments, so that names
// outside the ANSI code page work, passed on as UTF-8. GDI+ is started only
// in the build whose codecs it is.
#include <windows.h>
#ifdef QUB_CLI_GDIPLUS
#include <gdiplus.h>
#endif

#include <string>
#include <vector>

#include "cli/cli_run.h"

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int k = 1; k < argc; ++k) {
        const int n = WideCharToMultiByte(CP_UTF8, 0, argv[k], -1, nullptr, 0, nullptr, nullptr);
        std::string a(n > 0 ? static_cast<size_t>(n - 1) : 0, '\0');
        if (n > 1) WideCharToMultiByte(CP_UTF8, 0, argv[k], -1, &a[0], n, nullptr, nullptr);
        args.push_back(a);
    }
    SetConsoleOutputCP(CP_UTF8);
#ifdef QUB_CLI_GDIPLUS
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
        fprintf(stderr, "qubstereo-cli: GDI+ cannot start\n");
        return 1;
    }
    const int code = QUB_CliRun(args, stdout, stderr);
    Gdiplus::GdiplusShutdown(token);
    return code;
#else
    return QUB_CliRun(args, stdout, stderr);
#endif
}
