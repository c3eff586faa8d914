#include "platform/linux/procfsnames.h"

#include "platform/linux/uniquefd.h"

#include <QByteArrayView>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace quellex::platform {

namespace {

// The kernel keeps at most this many bytes of a program's name in comm.
constexpr std::size_t kCommLength = 15;
constexpr std::string_view kDeletedSuffix = " (deleted)";
// A task directory has a link from its parent, its own "." and one ".." per thread.
constexpr nlink_t kOneThreadLinks = 3;

// What reading one task's entries showed.
enum class Task {
    Runs,   // a running program; match holds its name when that matches
    Exited, // no program any more, though threads of its process may still run one
    None,   // a kernel thread, or gone
};

struct TaskName
{
    Task task = Task::None;
    std::optional<std::string> match;
};

// prefix + entry, NUL-terminated; empty when too long for any real /proc path.
class EntryPath
{
public:
    EntryPath(std::string_view prefix, std::string_view entry)
    {
        if (prefix.size() + entry.size() + 1 > sizeof m_path)
            return;
        char *end = std::copy(prefix.begin(), prefix.end(), m_path);
        *std::copy(entry.begin(), entry.end(), end) = '\0';
    }
    const char *get() const { return m_path; }

private:
    char m_path[64] = {};
};

std::string_view baseName(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

TaskName named(std::string_view image, const ImageNameMatcher &matcher)
{
    if (!matcher.matches(image))
        return {Task::Runs, {}};
    return {Task::Runs, std::string(image)};
}

// Reads the start of a small /proc file; the length read, or -1.
ssize_t readEntry(int dir, std::string_view prefix, std::string_view entry, char *buffer, std::size_t size)
{
    const UniqueFd fd(::openat(dir, EntryPath(prefix, entry).get(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (!fd.isValid())
        return -1;
    ssize_t length;
    do {
        length = ::read(fd.get(), buffer, size);
    } while (length < 0 && errno == EINTR);
    return length;
}

// For a task whose executable link cannot be read: another user's or a non-dumpable process, or one
// whose path is longer than the kernel shows. The name the kernel recorded at start is the
// executable's file name cut at 15 bytes; a cut name is completed from argv[0] where argv[0] begins
// with exactly those bytes. The process can set both itself (prctl, its own arguments), so this is
// only what it claims to be, and it is used nowhere the link could be read.
TaskName recordedName(int dir, std::string_view prefix, const ImageNameMatcher &matcher)
{
    char stat[1024];
    const ssize_t statLength = readEntry(dir, prefix, "stat", stat, sizeof stat);
    if (statLength <= 0)
        return {};
    const std::optional<ProcStat> info = parseProcStat(std::string_view(stat, std::size_t(statLength)));
    if (!info || (info->flags & kPfKthread) || info->state == 'X')
        return {};
    if (info->state == 'Z')
        return {Task::Exited, {}};

    std::string_view recorded = info->comm;
    char cmdline[4096];
    if (recorded.size() >= kCommLength && (matcher.matches(recorded) || matcher.mayStartWith(recorded))) {
        const ssize_t length = readEntry(dir, prefix, "cmdline", cmdline, sizeof cmdline);
        if (length > 0) {
            const std::string_view arguments(cmdline, std::size_t(length));
            const std::size_t end = arguments.find('\0');
            if (end != std::string_view::npos) {
                const std::string_view argv0 = baseName(arguments.substr(0, end));
                if (argv0.size() > recorded.size() && argv0.starts_with(recorded))
                    recorded = argv0;
            }
        }
    }
    return named(recorded, matcher);
}

bool isWineLoader(std::string_view image)
{
    return image == "wine" || image == "wine64" || image == "wine-preloader" || image == "wine64-preloader";
}

// Wine runs a Windows program in a process of its loader, with the program's Windows path as argv[0]:
// the name is that path's last component. An argv[0] that gives none (empty, cut short, not UTF-8)
// leaves the name the kernel recorded, as for a process whose link cannot be read.
TaskName wineProgramName(int dir, std::string_view prefix, const ImageNameMatcher &matcher)
{
    char cmdline[4096];
    const ssize_t length = readEntry(dir, prefix, "cmdline", cmdline, sizeof cmdline);
    const std::string_view arguments(cmdline, std::size_t(std::max<ssize_t>(length, 0)));
    const std::size_t end = arguments.find('\0');
    if (end != std::string_view::npos) {
        const std::string_view argv0 = arguments.substr(0, end);
        const std::string_view program = argv0.substr(argv0.find_last_of("\\/") + 1);
        if (!program.empty() && QByteArrayView(program.data(), qsizetype(program.size())).isValidUtf8())
            return named(program, matcher);
    }
    return recordedName(dir, prefix, matcher);
}

TaskName taskName(int dir, std::string_view prefix, const ImageNameMatcher &matcher)
{
    const EntryPath exe(prefix, "exe");
    // The kernel writes at most a page; a full buffer would mean a name cut short.
    char target[4096 + 64];
    const ssize_t length = ::readlinkat(dir, exe.get(), target, sizeof target);
    if (length < 0 && (errno == ENOENT || errno == ESRCH)) {
        // A kernel thread, a process or thread that has exited, or one gone.
        return {Task::Exited, {}};
    }
    if (length < 0 || std::size_t(length) == sizeof target)
        return recordedName(dir, prefix, matcher);

    std::string_view link(target, std::size_t(length));
    // The kernel marks a program whose file was removed or replaced while it runs; a file can also
    // be named so, and then it still has links.
    struct stat file;
    if (link.ends_with(kDeletedSuffix) && ::fstatat(dir, exe.get(), &file, 0) == 0 && file.st_nlink == 0)
        link.remove_suffix(kDeletedSuffix.size());
    const std::string_view image = baseName(link);
    if (isWineLoader(image))
        return wineProgramName(dir, prefix, matcher);
    return named(image, matcher);
}

// A process whose first thread has exited while others run shows no program of its own: its name is
// the one its live threads run.
std::optional<std::string> liveThreadName(int dir, std::string_view prefix, const ImageNameMatcher &matcher)
{
    const EntryPath task(prefix, "task");
    struct stat info;
    if (::fstatat(dir, task.get(), &info, 0) != 0 || info.st_nlink <= kOneThreadLinks)
        return std::nullopt;
    const int taskFd = ::openat(dir, task.get(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (taskFd < 0)
        return std::nullopt;
    const std::unique_ptr<DIR, int (*)(DIR *)> threads(::fdopendir(taskFd), ::closedir);
    if (!threads) {
        ::close(taskFd);
        return std::nullopt;
    }
    std::string threadPrefix;
    while (const dirent *entry = ::readdir(threads.get())) {
        if (entry->d_name[0] < '1' || entry->d_name[0] > '9')
            continue;
        threadPrefix.assign(prefix).append("task/").append(entry->d_name).append("/");
        TaskName thread = taskName(dir, threadPrefix, matcher);
        if (thread.task == Task::Runs)
            return std::move(thread.match);
    }
    return std::nullopt;
}

} // namespace

std::optional<ProcStat> parseProcStat(std::string_view text)
{
    // comm may itself hold blanks and parentheses: it runs from the first '(' to the last ')'.
    const std::size_t open = text.find('(');
    const std::size_t close = text.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
        return std::nullopt;
    ProcStat stat;
    stat.comm = text.substr(open + 1, close - open - 1);

    std::string_view rest = text.substr(close + 1);
    // Fields after comm: state, ppid, pgrp, session, tty_nr, tpgid, flags.
    for (int field = 0; field < 7; ++field) {
        const std::size_t start = rest.find_first_not_of(' ');
        if (start == std::string_view::npos)
            return std::nullopt;
        rest = rest.substr(start);
        const std::size_t end = std::min(rest.find(' '), rest.size());
        const std::string_view value = rest.substr(0, end);
        if (field == 0) {
            if (value.size() != 1)
                return std::nullopt;
            stat.state = value[0];
        } else if (field == 6) {
            const auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), stat.flags);
            if (ec != std::errc() || ptr != value.data() + value.size())
                return std::nullopt;
        }
        rest = rest.substr(end);
    }
    return stat;
}

std::optional<std::string> matchingImageName(int dir, std::string_view prefix,
                                             const ImageNameMatcher &matcher)
{
    TaskName process = taskName(dir, prefix, matcher);
    if (process.task == Task::Exited)
        return liveThreadName(dir, prefix, matcher);
    return std::move(process.match);
}

} // namespace quellex::platform
