// Windows entry: the arguments arrive as UTF-16, so file names in any script work.
#include <windows.h>

#include <string>
#include <vector>

#include "cli/cli.h"
#include "platform/platform_services.h"
#include "platform/win_text.h"

int wmain(int argc, wchar_t** argv) {
    tabulon::UsePlatformServices();
    std::vector<std::string> args;
    for (int k = 1; k < argc; ++k) args.push_back(tabulon::WideToUtf8(argv[k]));
    return tabulon::RunCli(args);
}
