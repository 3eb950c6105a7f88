#include <string>
#include <vector>

#include "cli/cli.h"
#include "platform/platform_services.h"

int main(int argc, char** argv) {
    tabulon::UsePlatformServices();
    std::vector<std::string> args(argv + 1, argv + argc);
    return tabulon::RunCli(args);
}
