#include "linespeed.h"

// Kept apart from <termios.h>: the kernel's termios2 (arbitrary rates such as 128000) clashes
// with the C library's definitions.
#if defined(__linux__)
#include <asm/termbits.h>
#include <sys/ioctl.h>
#endif

long lineSpeed(int masterFd) {
#if defined(__linux__) && defined(TCGETS2)
    // On a pseudo-terminal the master's mode requests reach the slave's settings.
    struct termios2 tio {};
    if (ioctl(masterFd, TCGETS2, &tio) == 0)
        return static_cast<long>(tio.c_ospeed);
#else
    (void)masterFd;
#endif
    return -1;
}
