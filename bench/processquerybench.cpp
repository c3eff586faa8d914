// What a running check costs against a machine with many processes: IsProcessRunning over /proc for
// a name that no process has, so that it reads every process as an idle watcher's check does, the
// least any /proc scan can cost (one readlink of exe per process and nothing else), and the same
// question answered through libproc2 as the process tools answer it. The benchmark starts 1000
// processes of its own, under a name no other process has, and ends exactly those.
#include "process/systemprocessqueryservice.h"
#include "tests/support/testprocesses.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <iostream>
#include <libproc2/pids.h>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kProcessCount = 1000;

quellex::test::TestProcesses *processes = nullptr;

void isProcessRunning(benchmark::State &state)
{
    quellex::process::SystemProcessQueryService service;
    if (!service.IsProcessRunning(processes->imageName())) {
        state.SkipWithError("IsProcessRunning does not see the processes");
        return;
    }
    // A check stops at its first match: only one for a name that nothing runs walks them all.
    const QString absent = processes->imageName() + QStringLiteral("-absent");
    for (auto _ : state) {
        // Not const: Benchmark 1.8 deprecates DoNotOptimize on a const value.
        bool running = service.IsProcessRunning(absent);
        benchmark::DoNotOptimize(running);
    }
}

// With --floor-only the floor is measured over whatever runs on the machine, for scripts that
// compare it with the program's own cost under the same load.
bool floorOnly = false;
int minimumScanned = kProcessCount;
// With --pace-ms N each scan follows a pause of N ms, as a program's timer spaces them: the kernel's
// process structures are then no longer in the cache, and a scan costs more than in a tight loop.
int paceMs = 0;

void floorReadlinkPerProcess(benchmark::State &state)
{
    char path[sizeof(dirent::d_name) + 8];
    char target[4096 + 64];
    for (auto _ : state) {
        if (paceMs > 0) {
            state.PauseTiming();
            ::usleep(useconds_t(paceMs) * 1000);
            state.ResumeTiming();
        }
        DIR *dir = ::opendir("/proc");
        if (!dir) {
            state.SkipWithError("cannot open /proc");
            break;
        }
        int scanned = 0;
        while (const dirent *entry = ::readdir(dir)) {
            if (entry->d_name[0] < '1' || entry->d_name[0] > '9')
                continue;
            const std::size_t length = std::strlen(entry->d_name);
            std::memcpy(path, entry->d_name, length);
            std::memcpy(path + length, "/exe", 5);
            benchmark::DoNotOptimize(::readlinkat(::dirfd(dir), path, target, sizeof target));
            ++scanned;
        }
        ::closedir(dir);
        if (scanned < minimumScanned) {
            state.SkipWithError("fewer processes than were started");
            break;
        }
    }
}

void libproc2Pgrep(benchmark::State &state)
{
    enum pids_item items[] = {PIDS_ID_PID, PIDS_CMD, PIDS_STATE};
    enum { Pid, Cmd, State };
    pids_info *info = nullptr;
    if (procps_pids_new(&info, items, 3) < 0) {
        state.SkipWithError("procps_pids_new failed");
        return;
    }
    const QByteArray name = processes->imageName().toUtf8();
    for (auto _ : state) {
        const pids_fetch *fetched = procps_pids_reap(info, PIDS_FETCH_TASKS_ONLY);
        if (!fetched) {
            state.SkipWithError("procps_pids_reap failed");
            break;
        }
        int found = 0;
        for (int i = 0; i < fetched->counts->total; ++i) {
            const pids_stack *stack = fetched->stacks[i];
            if (PIDS_VAL(State, s_ch, stack, info) != 'Z' &&
                ::strcasecmp(PIDS_VAL(Cmd, str, stack, info), name.constData()) == 0)
                ++found;
            benchmark::DoNotOptimize(PIDS_VAL(Pid, s_int, stack, info));
        }
        if (found != kProcessCount) {
            state.SkipWithError("libproc2 does not see the processes");
            break;
        }
    }
    procps_pids_unref(&info);
}

// Whether a run ended in SkipWithError: Benchmark 1.8 replaced Run::error_occurred with Run::skipped.
bool endedEarly(const auto &run)
{
    if constexpr (requires { run.error_occurred; })
        return run.error_occurred;
    else
        return run.skipped != decltype(run.skipped){};
}

// Prints as usual and keeps each benchmark's median CPU time per scan, in microseconds.
class MedianReporter : public benchmark::ConsoleReporter
{
public:
    MedianReporter()
        : ConsoleReporter(::isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular)
    {}

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" && !endedEarly(run))
                medians[run.run_name.function_name] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    double median(const std::string &name) const
    {
        const auto it = medians.find(name);
        return it == medians.end() ? std::nan("") : it->second;
    }

    std::map<std::string, double> medians;
};

} // namespace

int main(int argc, char **argv)
{
    // Defaults that give medians in well under a minute; flags given on the command line come later
    // and so win.
    std::vector<char *> arguments{argv[0]};
    char repetitions[] = "--benchmark_repetitions=21";
    char minTime[] = "--benchmark_min_time=0.15";
    char interleaving[] = "--benchmark_enable_random_interleaving=true";
    char aggregatesOnly[] = "--benchmark_display_aggregates_only=true";
    arguments.insert(arguments.end(), {repetitions, minTime, interleaving, aggregatesOnly});
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--floor-only") == 0)
            floorOnly = true;
        else if (std::strncmp(argv[i], "--pace-ms=", 10) == 0)
            paceMs = std::atoi(argv[i] + 10);
        else
            arguments.push_back(argv[i]);
    }
    arguments.push_back(nullptr);
    int count = int(arguments.size()) - 1;
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data()))
        return 2;

    MedianReporter reporter;
    if (floorOnly) {
        minimumScanned = 1;
        benchmark::RegisterBenchmark("FloorReadlinkPerProcess", floorReadlinkPerProcess)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RunSpecifiedBenchmarks(&reporter);
        benchmark::Shutdown();
        std::cout.flush();
        std::printf("floor_us_per_scan=%.1f\n", reporter.median("FloorReadlinkPerProcess"));
        return 0;
    }
    benchmark::RegisterBenchmark("IsProcessRunning", isProcessRunning)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("FloorReadlinkPerProcess", floorReadlinkPerProcess)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Libproc2", libproc2Pgrep)->Unit(benchmark::kMicrosecond);
    try {
        // At most 15 bytes, so the kernel's record of the name (what libproc2 compares) is all of it.
        quellex::test::TestProcesses started(quellex::test::uniqueProcessName(QStringLiteral("qxbench"), 15));
        started.start(kProcessCount);
        processes = &started;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        processes = nullptr;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "quellex_bench: %s\n", error.what());
        return 1;
    }
    benchmark::Shutdown();

    const double service = reporter.median("IsProcessRunning");
    const double floor = reporter.median("FloorReadlinkPerProcess");
    const double libproc2 = reporter.median("Libproc2");
    std::cout.flush();
    std::printf("processes_started=%d (CPU time per scan, medians)\n", kProcessCount);
    std::printf("floor_us_per_scan=%.1f\n", floor);
    std::printf("ratio_vs_floor=%.3f\n", service / floor);
    std::printf("ratio_vs_libproc2=%.3f\n", service / libproc2);
    return 0;
}
