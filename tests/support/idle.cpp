// The program that test processes are copies of. It waits until it is signalled, and goes with the
// test that started it (argv[1] is that test's pid), so a crashed test leaves nothing running.
// argv[2], where given, is the most seconds it may live.
#include <cstdlib>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (argc > 1 && getppid() != static_cast<pid_t>(std::atol(argv[1])))
        return 1;
    if (argc > 2)
        alarm(static_cast<unsigned>(std::atoi(argv[2])));
    for (;;)
        pause();
}
