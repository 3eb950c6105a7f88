// The tabulon command line.
#pragma once

#include <string>
#include <vector>

namespace tabulon {

enum ExitCode : int {
    kExitOk = 0,
    kExitFailure = 1,  // bad input or a file that cannot be read or written
    kExitUsage = 2,    // the command line itself is wrong
};

// args excludes the program name; all strings UTF-8.
int RunCli(const std::vector<std::string>& args);

int RunConvert(const std::vector<std::string>& args);
int RunCapture(const std::vector<std::string>& args);
int RunPreview(const std::vector<std::string>& args);

}  // namespace tabulon
