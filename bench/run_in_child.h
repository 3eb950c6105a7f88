// Runs one benchmark step in a child process of its own, so the peak memory the
// kernel reports belongs to that step alone; and runs the Python peers the same way.
#pragma once

#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

// The peak resident memory of this process so far, in MiB.
inline double PeakSoFarMiB() {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return 0;
    char line[256];
    double kib = 0;
    while (std::fgets(line, sizeof line, status)) {
        if (std::sscanf(line, "VmHWM: %lf kB", &kib) == 1) break;
    }
    std::fclose(status);
    return kib / 1024.0;
}

// What a child handed back, and its peak resident memory.
template <typename Result>
struct ChildRun {
    Result result;
    double peakMiB = 0;
};

inline double PeakMiB(const struct rusage& usage) {
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // Linux reports KiB
}

// Runs body() in a child and returns what it returned, or nothing when the child
// failed (after saying why on stderr). Result is trivially copyable: it travels
// back through shared memory.
template <typename Body>
auto RunInChild(Body body) -> std::optional<ChildRun<decltype(body())>> {
    using Result = decltype(body());
    static_assert(std::is_trivially_copyable_v<Result>);
    void* shared = mmap(nullptr, sizeof(Result), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED) return std::nullopt;
    std::fflush(stdout);  // or the child repeats what is still buffered
    std::fflush(stderr);
    pid_t child = fork();
    if (child == 0) {
        try {
            Result r = body();
            *static_cast<Result*>(shared) = r;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "benchmark step failed: %s\n", e.what());
            std::_Exit(1);
        }
        std::fflush(stdout);
        std::_Exit(0);
    }
    int status = 0;
    struct rusage usage {};
    wait4(child, &status, 0, &usage);
    std::optional<ChildRun<Result>> run;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) run = ChildRun<Result>{*static_cast<Result*>(shared), PeakMiB(usage)};
    munmap(shared, sizeof(Result));
    return run;
}

// Runs a program with its standard output collected; standard error passes
// through. Returns the output and the peak memory, or nothing when it failed.
inline std::optional<ChildRun<std::string>> RunProgram(const std::vector<std::string>& argv) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return std::nullopt;
    std::fflush(stdout);
    std::fflush(stderr);
    pid_t child = fork();
    if (child == 0) {
        dup2(pipeFds[1], 1);
        close(pipeFds[0]);
        close(pipeFds[1]);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        std::_Exit(127);
    }
    close(pipeFds[1]);
    std::string output;
    char buffer[4096];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) output.append(buffer, static_cast<size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    struct rusage usage {};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return ChildRun<std::string>{output, PeakMiB(usage)};
}

// True when /usr/bin/python3 imports the module (the peers are skipped otherwise).
inline bool PythonHas(const char* module) {
    auto run = RunProgram({"/usr/bin/python3", "-c", std::string("import ") + module});
    return run.has_value();
}
