// Runs one benchmark case in a child process of its own, so the peak memory the
// kernel reports belongs to that case alone.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>

// Runs body() in a child, then prints "  peak N MB". Returns false when the case failed.
template <typename Body>
bool RunInChild(Body body) {
    std::fflush(stdout);  // or the child repeats what is still buffered
    pid_t child = fork();
    if (child == 0) {
        try {
            body();
        } catch (const std::exception& e) {
            std::printf("failed: %s\n", e.what());
            std::fflush(stdout);
            std::_Exit(1);
        }
        std::fflush(stdout);
        std::_Exit(0);
    }
    int status = 0;
    struct rusage usage {};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::printf("  case failed\n");
        return false;
    }
    std::printf("  peak %5.1f MB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    return true;
}
