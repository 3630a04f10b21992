#include <sys/wait.h>

int ExitCodeOfSystem(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
