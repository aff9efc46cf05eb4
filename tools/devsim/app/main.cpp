#include "Agent.h"

#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>

int main(int argc, char **argv)
{
    // A simulator must not outlive the test or script that started it (a crashed test
    // would otherwise leave it holding the test runner's output pipe).
    const pid_t parent = getppid();
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent)
        return 0;
    return devsim::runDevsim(argc, argv);
}
