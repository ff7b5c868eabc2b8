#pragma once

// The time of a whole program run, start-up and all, as a user meets it:
// started without a shell, its standard output to /dev/null.

#include <benchmark/benchmark.h>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace veltrim::bench {

// Seconds from the start of `command` (the program's path, then its
// arguments) to its end; negative when it could not be started or did not
// end with status 0.
inline double RunSeconds(const std::vector<std::string>& command) {
    std::vector<char*> argv;
    for (const std::string& word : command)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return -1.0;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1.0;
    return std::chrono::duration<double>(end - start).count();
}

// Each iteration one run of `command`, its time the iteration's (for a
// benchmark with UseManualTime); a failed run ends the benchmark with
// `failure`.
inline void TimeEachRun(benchmark::State& run, const std::vector<std::string>& command,
                        const char* failure) {
    for (auto _ : run) {
        const double seconds = RunSeconds(command);
        if (seconds < 0) {
            run.SkipWithError(failure);
            break;
        }
        run.SetIterationTime(seconds);
    }
}

} // namespace veltrim::bench
