// A variant of the idle program whose first thread exits while a second one waits, so that the
// process shows no program of its own under /proc/<pid>/exe. argv[1] is the test's pid, as there.
#include <cstdlib>
#include <pthread.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

pid_t parent = 0;

void *waitUntilSignalled(void *)
{
    // The parent-death signal is the asking thread's, so the thread that stays asks for it.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (parent != 0 && getppid() != parent)
        _exit(1);
    for (;;)
        pause();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1)
        parent = static_cast<pid_t>(std::atol(argv[1]));
    pthread_t thread;
    if (pthread_create(&thread, nullptr, waitUntilSignalled, nullptr) != 0)
        return 2;
    pthread_exit(nullptr);
}
