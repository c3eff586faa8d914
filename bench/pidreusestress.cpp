// Pid reuse under stress: in each round a process found for termination exits and a
// process of another name takes its pid, either before the query's Terminate runs or while it runs.
// Prints how often that other process was ended (wrong_kills=, which must be 0). It runs as root in
// a PID namespace of its own and signals only processes it started there: copies of itself, idle.
#include "platform/processes.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

using namespace quellex;

namespace {

constexpr int kDefaultRounds = 5000;
constexpr int kRaceMicroseconds = 3000;

int idle(const char *parent)
{
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != pid_t(std::atol(parent)))
        return 1;
    for (;;)
        ::pause();
}

// A copy of this program under a unique name, started idle.
class Program
{
public:
    Program(const QTemporaryDir &dir, const char *stem)
        : m_name(QString::fromLatin1(stem))
    {
        for (int i = 0; i < 8; ++i)
            m_name += QString::number(QRandomGenerator::system()->bounded(16), 16);
        m_path = QFile::encodeName(dir.filePath(m_name));
        if (!QFile::copy(QStringLiteral("/proc/self/exe"), dir.filePath(m_name)))
            std::exit(2);
    }
    const QString &name() const { return m_name; }
    pid_t start() const
    {
        const QByteArray parent = QByteArray::number(::getpid());
        char *argv[] = {const_cast<char *>(m_path.constData()), const_cast<char *>("--idle"),
                        const_cast<char *>(parent.constData()), nullptr};
        pid_t pid = 0;
        return posix_spawn(&pid, m_path.constData(), nullptr, nullptr, argv, environ) == 0 ? pid : -1;
    }

private:
    QString m_name;
    QByteArray m_path;
};

// The next process started in this namespace gets pid.
bool nextPidIs(pid_t pid)
{
    const int fd = ::open("/proc/sys/kernel/ns_last_pid", O_WRONLY | O_CLOEXEC);
    const std::string text = std::to_string(pid - 1);
    const bool written = fd >= 0 && ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    if (fd >= 0)
        ::close(fd);
    return written;
}

// Ends the decoy with SIGTERM; true when something else's SIGKILL had ended it first.
bool wasKilled(pid_t decoy)
{
    ::kill(decoy, SIGTERM);
    int status = 0;
    ::waitpid(decoy, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 2 && std::strcmp(argv[1], "--idle") == 0)
        return idle(argv[2]);
    int rounds = kDefaultRounds;
    // --by-number: the number the query found is signalled in place of Terminate, to show what the
    // rounds catch.
    bool byNumber = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--rounds=", 9) == 0)
            rounds = std::atoi(argv[i] + 9);
        else if (std::strcmp(argv[i], "--by-number") == 0)
            byNumber = true;
    }
    if (::getpid() != 1) {
        // Only in a PID namespace of its own may it move ns_last_pid, and only there is it sure
        // that the pids it makes collide with nothing but its own processes.
        std::vector<char *> command{const_cast<char *>("unshare"), const_cast<char *>("--pid"),
                                    const_cast<char *>("--fork"), const_cast<char *>("--mount-proc"),
                                    const_cast<char *>("--kill-child")};
        command.insert(command.end(), argv, argv + argc);
        command.push_back(nullptr);
        ::execvp("unshare", command.data());
        std::fprintf(stderr, "pidreusestress: needs root and unshare: %s\n", std::strerror(errno));
        return 2;
    }

    const QTemporaryDir dir;
    const Program target(dir, "qxtarget");
    const Program decoy(dir, "qxdecoy");
    int reused = 0;
    int wrongKills = 0;
    int targetsEnded = 0;
    for (int round = 0; round < rounds; ++round) {
        const pid_t pid = target.start();
        const platform::ProcessList found =
            platform::findProcesses(target.name(), platform::ProcessQuery::Termination);
        if (pid < 0 || found.size() != 1)
            return 2;
        platform::FoundProcess &process = *found.front();
        auto terminate = [&] {
            if (!byNumber)
                return process.Terminate();
            return ::kill(pid, SIGKILL) == 0 ? platform::TerminateResult::Success
                                             : platform::TerminateResult::PathNotFound;
        };

        // Odd rounds race: Terminate runs at a random moment while the target is ended and its
        // pid handed on, which takes about as long.
        const bool racing = round % 2 == 1;
        std::atomic<bool> go = false;
        std::thread terminator;
        if (racing) {
            const auto delay =
                std::chrono::microseconds(QRandomGenerator::global()->bounded(kRaceMicroseconds));
            terminator = std::thread([&, delay] {
                while (!go)
                    ;
                const auto until = std::chrono::steady_clock::now() + delay;
                while (std::chrono::steady_clock::now() < until)
                    ;
                if (terminate() == platform::TerminateResult::Success)
                    ++targetsEnded;
            });
            go = true;
        }
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        if (!nextPidIs(pid))
            return 2;
        const pid_t other = decoy.start();
        if (racing)
            terminator.join();
        else if (terminate() == platform::TerminateResult::Success)
            ++targetsEnded;
        if (other == pid)
            ++reused;
        if (other > 0 && wasKilled(other))
            ++wrongKills;
    }
    std::printf("rounds=%d pid_reused=%d targets_ended_by_terminate=%d\nwrong_kills=%d\n", rounds, reused,
                targetsEnded, wrongKills);
    return wrongKills == 0 ? 0 : 1;
}
