// Preloaded into vantero (LD_PRELOAD) by the program tests, to make it meet
// a system it cannot be given here. VANTERO_FAIL names what fails:
//   "tmpfile"  open and openat with O_TMPFILE fail with EOPNOTSUPP, as on a
//              file system without unnamed temporary files (NFS, say);
//   "threads"  pthread_create fails with EAGAIN, as under a limit on the
//              user's processes (ulimit -u, a container's pids.max);
//              "threads=N" makes N threads first (ulimit -u N+1, the
//              process itself counting one).
// Everything else goes to the system's own functions.

#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>

static int failing(const char* what) {
    const char* list = getenv("VANTERO_FAIL");
    return list != NULL && strstr(list, what) != NULL;
}

static int unnamedRefused(int flags) {
    return (flags & O_TMPFILE) == O_TMPFILE && failing("tmpfile");
}

// The mode argument, present when the flags create a file.
static mode_t modeOf(int flags, va_list arguments) {
    return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(arguments, mode_t)
                                                                       : 0;
}

// The start of each open function: its mode, or the refusal of an unnamed
// temporary file.
#define TAKE_MODE_OR_REFUSE(flags, mode)                                                       \
    va_list arguments;                                                                         \
    va_start(arguments, flags);                                                                \
    const mode_t mode = modeOf(flags, arguments);                                              \
    va_end(arguments);                                                                         \
    if (unnamedRefused(flags)) {                                                               \
        errno = EOPNOTSUPP;                                                                    \
        return -1;                                                                             \
    }

#define OPEN_SHIM(name)                                                                        \
    int name(const char* path, int flags, ...) {                                               \
        TAKE_MODE_OR_REFUSE(flags, mode)                                                       \
        int (*next)(const char*, int, ...) =                                                   \
            (int (*)(const char*, int, ...))dlsym(RTLD_NEXT, #name);                           \
        return next(path, flags, mode);                                                        \
    }

#define OPENAT_SHIM(name)                                                                      \
    int name(int folder, const char* path, int flags, ...) {                                   \
        TAKE_MODE_OR_REFUSE(flags, mode)                                                       \
        int (*next)(int, const char*, int, ...) =                                              \
            (int (*)(int, const char*, int, ...))dlsym(RTLD_NEXT, #name);                      \
        return next(folder, path, flags, mode);                                                \
    }

OPEN_SHIM(open)
OPEN_SHIM(open64)
OPENAT_SHIM(openat)
OPENAT_SHIM(openat64)

// Whether the system refuses the next thread: all of them under "threads",
// those after the first N under "threads=N".
static int threadRefused(void) {
    if (!failing("threads")) {
        return 0;
    }
    const char* count = strstr(getenv("VANTERO_FAIL"), "threads=");
    static _Atomic long made = 0;
    return count == NULL || made++ >= strtol(count + strlen("threads="), NULL, 10);
}

int pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*),
                   void* argument) {
    if (threadRefused()) {
        return EAGAIN;
    }
    int (*next)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*) =
        (int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*))dlsym(
            RTLD_NEXT, "pthread_create");
    return next(thread, attributes, start, argument);
}
