#include "procfsnames.h"

#include "uniquefd.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace quellex::platform {

namespace {

// The kernel keeps at most this many bytes of a program's name in comm.
constexpr std::size_t CommLength = 15;
constexpr std::string_view DeletedSuffix = " (deleted)";

std::string_view baseName(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// "<pid>/<entry>" into buffer; false when the pid text is not plausible.
bool entryPath(char (&buffer)[48], std::string_view pidText, std::string_view entry)
{
    if (pidText.empty() || pidText.size() + 1 + entry.size() + 1 > sizeof buffer)
        return false;
    char *end = std::copy(pidText.begin(), pidText.end(), buffer);
    *end++ = '/';
    end = std::copy(entry.begin(), entry.end(), end);
    *end = '\0';
    return true;
}

// Reads the start of a small /proc file; the length read, or -1.
ssize_t readEntry(int procDir, std::string_view pidText, std::string_view entry, char *buffer,
                  std::size_t size)
{
    char path[48];
    if (!entryPath(path, pidText, entry))
        return -1;
    const UniqueFd fd(::openat(procDir, path, O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (!fd.isValid())
        return -1;
    ssize_t length;
    do {
        length = ::read(fd.get(), buffer, size);
    } while (length < 0 && errno == EINTR);
    return length;
}

// For a process whose executable link may not be read (another user's): the name the kernel
// recorded, which is the executable's file name at start, cut at 15 bytes. A cut name is completed
// from argv[0] only where argv[0] still begins with exactly those bytes, so that a process which
// rewrote its arguments cannot claim a name it was not started as.
bool recordedNameMatches(int procDir, std::string_view pidText, const ImageNameMatcher &matcher,
                         std::string *name)
{
    char stat[1024];
    const ssize_t statLength = readEntry(procDir, pidText, "stat", stat, sizeof stat);
    if (statLength <= 0)
        return false;
    const std::optional<ProcStat> info = parseProcStat(std::string_view(stat, std::size_t(statLength)));
    if (!info || (info->flags & PF_KTHREAD_FLAG) || info->state == 'Z' || info->state == 'X')
        return false;

    std::string_view recorded = info->comm;
    char cmdline[4096];
    if (recorded.size() >= CommLength && (matcher.matches(recorded) || matcher.mayStartWith(recorded))) {
        const ssize_t length = readEntry(procDir, pidText, "cmdline", cmdline, sizeof cmdline);
        if (length > 0) {
            const std::string_view arguments(cmdline, std::size_t(length));
            const std::size_t end = arguments.find('\0');
            if (end != std::string_view::npos) {
                const std::string_view argv0 = baseName(arguments.substr(0, end));
                if (argv0.size() > recorded.size() && argv0.substr(0, recorded.size()) == recorded)
                    recorded = argv0;
            }
        }
    }
    if (!matcher.matches(recorded))
        return false;
    if (name)
        name->assign(recorded);
    return true;
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

bool processNameMatches(int procDir, std::string_view pidText, const ImageNameMatcher &matcher,
                        std::string *name)
{
    char path[48];
    if (!entryPath(path, pidText, "exe"))
        return false;
    // The kernel writes at most a page; a full buffer would mean a name cut short.
    char target[4096 + 64];
    const ssize_t length = ::readlinkat(procDir, path, target, sizeof target);
    if (length < 0) {
        // ENOENT: a kernel thread, a process that has exited, or one gone. Only EACCES (another
        // user's process) leaves the name to be found elsewhere.
        return errno == EACCES && recordedNameMatches(procDir, pidText, matcher, name);
    }
    if (std::size_t(length) == sizeof target)
        return false;
    std::string_view link(target, std::size_t(length));
    // A program whose file was replaced or removed while it runs keeps its name.
    if (link.size() > DeletedSuffix.size() && link.ends_with(DeletedSuffix))
        link.remove_suffix(DeletedSuffix.size());
    const std::string_view image = baseName(link);
    if (!matcher.matches(image))
        return false;
    if (name)
        name->assign(image);
    return true;
}

} // namespace quellex::platform
