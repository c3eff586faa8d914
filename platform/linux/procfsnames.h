#pragma once

#include <dirent.h>
#include <memory>
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

inline constexpr unsigned long kPfKthread = 0x00200000;

// nullopt when text is not a stat line.
std::optional<ProcStat> parseProcStat(std::string_view text);

struct CloseDirectory
{
    void operator()(DIR *listing) const { ::closedir(listing); }
};
using DirectoryListing = std::unique_ptr<DIR, CloseDirectory>;

// The entries of the directory at dir + path, from the first; null, with errno set, when it cannot
// be opened.
DirectoryListing openListing(int dir, const char *path);

// The image name of one process when it runs a program. Its entries are found at dir + prefix: /proc
// and "<pid>/", or a descriptor of /proc/<pid> itself and "". Kernel threads, processes that have
// exited (unless a thread of theirs still runs) and processes that are gone have none.
std::optional<std::string> imageName(int dir, std::string_view prefix);

} // namespace quellex::platform
