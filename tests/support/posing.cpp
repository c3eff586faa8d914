// A variant of the idle program that poses as another: it makes itself non-dumpable, which hides its
// executable link from everyone without CAP_SYS_PTRACE, and takes the name in QUELLEX_TEST_POSE_AS,
// as any process may. Same arguments as the idle program.
#include <cstdlib>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (argc > 1 && getppid() != static_cast<pid_t>(std::atol(argv[1])))
        return 1;
    prctl(PR_SET_DUMPABLE, 0);
    if (const char *name = std::getenv("QUELLEX_TEST_POSE_AS"))
        prctl(PR_SET_NAME, name);
    for (;;)
        pause();
}
