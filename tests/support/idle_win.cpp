// The Windows form of the idle program: it waits until it is ended, and goes with the test that
// started it (argv[1] is that test's pid), so a crashed test leaves nothing running. argv[2], where
// given, is the most seconds it may live.
#include <cstdlib>
#include <windows.h>

int main(int argc, char **argv)
{
    const DWORD limit = argc > 2 ? DWORD(std::atoi(argv[2])) * 1000 : INFINITE;
    if (argc < 2) {
        Sleep(limit);
        return 0;
    }
    HANDLE parent = OpenProcess(SYNCHRONIZE, FALSE, DWORD(std::atol(argv[1])));
    if (!parent)
        return 1;
    WaitForSingleObject(parent, limit);
    return 0;
}
