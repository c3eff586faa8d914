#pragma once

#include "platform/imagename.h"

#include <optional>
#include <string>
#include <string_view>

namespace quellex::platform {

// What /proc/<pid>/stat tells about a process: its name as the kernel records it (cut at 15 bytes),
// its state letter and its flags.
struct ProcStat
{
    std::string_view comm;
    char state = 0;
    unsigned long flags = 0;
};

inline constexpr unsigned long PF_KTHREAD_FLAG = 0x00200000;

// nullopt when text is not a stat line.
std::optional<ProcStat> parseProcStat(std::string_view text);

// Whether the process /proc/<pidText> is a running program whose image name matches; procDir is an
// open descriptor of /proc. name, when given, receives the image name of a match. Kernel threads,
// processes that have exited but not been reaped, and processes that are gone never match.
bool processNameMatches(int procDir, std::string_view pidText, const ImageNameMatcher &matcher,
                        std::string *name = nullptr);

} // namespace quellex::platform
