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
    Runs,   // a running program, of that name
    Exited, // no program any more, though threads of its process may still run one
    None,   // a kernel thread, or gone
};

struct TaskName
{
    Task task = Task::None;
    std::string name;
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

// The task's argv[0]; nullopt when it cannot be read whole.
std::optional<std::string> readArgv0(int dir, std::string_view prefix)
{
    char cmdline[4096];
    const ssize_t length = readEntry(dir, prefix, "cmdline", cmdline, sizeof cmdline);
    const std::string_view arguments(cmdline, std::size_t(std::max<ssize_t>(length, 0)));
    const std::size_t end = arguments.find('\0');
    if (end == std::string_view::npos)
        return std::nullopt;
    return std::string(arguments.substr(0, end));
}

// For a task whose executable link cannot be read: another user's or a non-dumpable process, or one
// whose path is longer than the kernel shows. The name the kernel recorded at start is the
// executable's file name cut at 15 bytes; a cut name is completed from argv[0] where argv[0] begins
// with exactly those bytes. The process can set both itself (prctl, its own arguments), so this is
// only what it claims to be, and it is used nowhere the link could be read.
TaskName recordedName(int dir, std::string_view prefix)
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

    TaskName recorded{Task::Runs, std::string(info->comm)};
    if (recorded.name.size() >= kCommLength) {
        if (const std::optional<std::string> argv0 = readArgv0(dir, prefix)) {
            const std::string_view program = baseName(*argv0);
            if (program.size() > recorded.name.size() && program.starts_with(recorded.name))
                recorded.name = program;
        }
    }
    return recorded;
}

bool isWineLoader(std::string_view image)
{
    return image == "wine" || image == "wine64" || image == "wine-preloader" || image == "wine64-preloader";
}

// Wine runs a Windows program in a process of its loader, with the program's Windows path as argv[0]:
// the name is that path's last component. An argv[0] that gives none (empty, cut short, not UTF-8)
// leaves the name the kernel recorded, as for a process whose link cannot be read.
TaskName wineProgramName(int dir, std::string_view prefix)
{
    if (const std::optional<std::string> argv0 = readArgv0(dir, prefix)) {
        const std::string_view program = std::string_view(*argv0).substr(argv0->find_last_of("\\/") + 1);
        if (!program.empty() && QByteArrayView(program.data(), qsizetype(program.size())).isValidUtf8())
            return {Task::Runs, std::string(program)};
    }
    return recordedName(dir, prefix);
}

TaskName taskName(int dir, std::string_view prefix)
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
        return recordedName(dir, prefix);

    std::string_view link(target, std::size_t(length));
    // The kernel marks a program whose file was removed or replaced while it runs; a file can also
    // be named so, and then it still has links.
    struct stat file;
    if (link.ends_with(kDeletedSuffix) && ::fstatat(dir, exe.get(), &file, 0) == 0 && file.st_nlink == 0)
        link.remove_suffix(kDeletedSuffix.size());
    const std::string_view image = baseName(link);
    if (isWineLoader(image))
        return wineProgramName(dir, prefix);
    return {Task::Runs, std::string(image)};
}

// A process whose first thread has exited while others run shows no program of its own: its name is
// the one its live threads run.
std::optional<std::string> liveThreadName(int dir, std::string_view prefix)
{
    const EntryPath task(prefix, "task");
    struct stat info;
    if (::fstatat(dir, task.get(), &info, 0) != 0 || info.st_nlink <= kOneThreadLinks)
        return std::nullopt;
    const DirectoryListing threads = openListing(dir, task.get());
    if (!threads)
        return std::nullopt;
    std::string threadPrefix;
    while (const dirent *entry = ::readdir(threads.get())) {
        if (entry->d_name[0] < '1' || entry->d_name[0] > '9')
            continue;
        threadPrefix.assign(prefix).append("task/").append(entry->d_name).append("/");
        TaskName thread = taskName(dir, threadPrefix);
        if (thread.task == Task::Runs)
            return std::move(thread.name);
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

DirectoryListing openListing(int dir, const char *path)
{
    const int fd = ::openat(dir, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    DirectoryListing listing(::fdopendir(fd));
    if (!listing) {
        const int error = errno;
        ::close(fd);
        errno = error;
    }
    return listing;
}

std::optional<std::string> imageName(int dir, std::string_view prefix)
{
    TaskName process = taskName(dir, prefix);
    if (process.task == Task::Exited)
        return liveThreadName(dir, prefix);
    if (process.task == Task::None)
        return std::nullopt;
    return std::move(process.name);
}

} // namespace quellex::platform
