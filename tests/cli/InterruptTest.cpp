// Runs stopped by a signal: a batch closes whole output after its last whole
// row even when nothing reads its standard error, and a file being replaced
// leaves no temporary behind. Every signal goes to a child this test starts,
// working in folders of its own.
#include "common/KvColumn.h"
#include "common/ProgramRun.h"
#include "common/ShippedData.h"
#include "common/TempFolder.h"
#include "core/CsvReading.h"
#include "core/FileReplacing.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

using namespace veltrim::testing;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Waits up to `seconds` for the child; its status, or none when it is still
// running (it is then killed and reaped, so that no test leaves it behind).
std::optional<int> WaitFor(pid_t child, int seconds) {
    const auto until = Clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child)
            return status;
        if (Clock::now() > until) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// A batch whose every row warns (a tube voltage held to 150 kV) fills a pipe
// on standard error that nobody reads, so that its rows wait on it; Ctrl-C
// must still close the output after the last whole row, and say nothing
// more on it, promptly.
TEST(Interrupt, ABatchClosesWholeOutputAtASignalWhileStandardErrorIsStalled) {
    if (!KernelsShipped())
        GTEST_SKIP() << "the shipped kernels are not all in " << ShippedData;
    const TempFolder work;
    work.Write("rows.csv", KvColumn(20000, [](int) { return std::string("200"); }));
    const fs::path out = work / "out.csv";
    int err[2];
    ASSERT_EQ(pipe2(err, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    const std::string batch = (work / "rows.csv").string(), folder = ShippedData.string();
    const char* const argv[] = {VELTRIM_CALC, "--data", folder.c_str(), "--batch", batch.c_str(),
                                "--jobs",     "2",      nullptr};
    pid_t child = 0;
    ASSERT_EQ(
        posix_spawn(&child, VELTRIM_CALC, &actions, nullptr, const_cast<char**>(argv), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(err[1]);
    // Stalled once the pipe holds the same bytes for half a second: the
    // rows wait on standard error.
    const auto until = Clock::now() + std::chrono::seconds(60);
    for (int held = -1, same = 0; same < 25 && Clock::now() < until;) {
        int waiting = 0;
        ioctl(err[0], FIONREAD, &waiting);
        same = waiting == held && waiting > 0 ? same + 1 : 0;
        held = waiting;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(child, SIGINT);
    const std::optional<int> status = WaitFor(child, 20);
    std::string told;
    char buffer[65536];
    for (ssize_t got; (got = read(err[0], buffer, sizeof buffer)) > 0;)
        told.append(buffer, static_cast<std::size_t>(got));
    close(err[0]);
    ASSERT_TRUE(status) << "the batch did not end after the signal";
    ASSERT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 128 + SIGINT)
        << *status << ": " << told.substr(0, 400);
    // Whole rows only: every line has the header's cells, the last a line end.
    const std::string output = ReadBytes(out);
    const std::vector<veltrim::CsvRecord> lines = veltrim::CsvRecords(output);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(output.back(), '\n');
    for (const veltrim::CsvRecord& line : lines)
        EXPECT_EQ(line.Cells.size(), lines[0].Cells.size());
    const std::size_t written = (lines.size() - 1) / 60; // 60 layers a row
    EXPECT_EQ((lines.size() - 1) % 60, 0u) << "a row cut short";
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, 20000u) << "the signal came after the last row";
    // Told only if standard error takes it; then with the rows written.
    const std::size_t stopped = told.find("stopped by a signal");
    if (stopped != std::string::npos) {
        EXPECT_NE(told.find(": " + std::to_string(written) + " rows written", stopped),
                  std::string::npos)
            << told.substr(stopped);
    }
}

// A process ended by Ctrl-C while it replaces a file leaves neither the file
// half written nor its hidden temporary: the signal removes the temporary
// and then ends the process as it would have.
TEST(Interrupt, ASignalDuringAReplacementLeavesNoTemporary) {
    const TempFolder folder;
    const fs::path target = folder / "report.pdf";
    folder.Write("report.pdf", "the earlier report");
    const int watch = inotify_init1(IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, folder.Path().c_str(), IN_CREATE), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        veltrim::RemoveTemporariesOnSignals();
        const std::string bytes(std::size_t{1} << 28, 'x');
        veltrim::ReplaceFileContents(target, bytes, veltrim::Durability::Synced);
        _exit(0);
    }
    // Stopped as soon as its temporary is made, so that the signal surely
    // finds the replacement under way.
    char event[4096];
    const bool created = read(watch, event, sizeof event) > 0;
    kill(child, SIGSTOP);
    close(watch);
    ASSERT_TRUE(created);
    // The file and its temporary, before the signal.
    ASSERT_EQ(EntriesOf(folder.Path()).size(), 2u) << "the replacement ended before the signal";
    kill(child, SIGINT);
    kill(child, SIGCONT);
    const std::optional<int> status = WaitFor(child, 20);
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGINT) << *status;
    EXPECT_EQ(EntriesOf(folder.Path()), std::vector<std::string>{"report.pdf"});
    EXPECT_EQ(ReadBytes(target), "the earlier report");
}

} // namespace
