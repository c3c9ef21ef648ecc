// Runs a program and writes its peak resident memory (kB) to descriptor 3.
//
// A process started from a large test program inherits that program's peak:
// its first exec records the memory of the process it replaced. This small
// process starts the program from a fresh fork of itself, so the figure it
// reports is the program's own. It ends as the program ended: with its exit
// code, or killed by the same signal.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGUMENT...]\n", argv[0]);
        return 127;
    }
    fcntl(3, F_SETFD, FD_CLOEXEC); // the program does not see the report
    pid_t pid = fork();
    if (pid < 0)
        return 127;
    if (pid == 0) {
        execv(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return 127;
    dprintf(3, "%ld\n", usage.ru_maxrss);
    close(3);
    if (WIFSIGNALED(status)) {
        signal(WTERMSIG(status), SIG_DFL);
        raise(WTERMSIG(status));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 127;
}
