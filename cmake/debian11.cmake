# Linux x86_64 files that start on every supported desktop distribution: this
# machine's g++ (C++20) compiles against a Debian 11 root made by
# scripts/debian11-root.sh, so that what is built binds to its C library
# (2.31) and GLib (2.66) and to nothing newer:
#
#   cmake -DCMAKE_TOOLCHAIN_FILE=<this file> -DORV_DEBIAN11_ROOT=<root> ...
#
# (or ORV_DEBIAN11_ROOT in the environment). The C++ runtime is linked in:
# the systems' own are older than this compiler's. A plug-in's copy binds to
# its host program's, which exports it.
if(NOT ORV_DEBIAN11_ROOT AND DEFINED ENV{ORV_DEBIAN11_ROOT})
    set(ORV_DEBIAN11_ROOT $ENV{ORV_DEBIAN11_ROOT})
endif()
if(NOT ORV_DEBIAN11_ROOT OR NOT EXISTS ${ORV_DEBIAN11_ROOT}/usr/include/stdio.h)
    message(FATAL_ERROR "ORV_DEBIAN11_ROOT names no Debian 11 root (scripts/debian11-root.sh makes one)")
endif()
set(ORV_DEBIAN11_ROOT ${ORV_DEBIAN11_ROOT} CACHE PATH "The Debian 11 root the build binds to")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ORV_DEBIAN11_ROOT)

set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_SYSROOT ${ORV_DEBIAN11_ROOT})
set(CMAKE_LIBRARY_ARCHITECTURE x86_64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# CMake packages come from anywhere: the authoring kit's SDK lies outside the root.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# The compiler's own library folders name this machine's /usr/lib before the
# root's: the root's come first, for the libraries (-L) and for the C
# library's start files (-B). This machine's crt1.o leaves the static
# constructors to a C library of 2.34 or later; the root's runs them itself.
set(_orv_root_libs "-B${ORV_DEBIAN11_ROOT}/usr/lib/x86_64-linux-gnu/ -L${ORV_DEBIAN11_ROOT}/usr/lib/x86_64-linux-gnu -L${ORV_DEBIAN11_ROOT}/lib/x86_64-linux-gnu")

# This machine's libstdc++.a was built for a newer C library than the root's,
# and calls two of its functions that older systems lack; each file gets its
# own hidden definitions:
# - __libc_single_threaded (2.32), the flag by which the runtime skips atomic
#   operations: here it always says "threads may run", so the runtime always
#   takes its atomic path, which is right with or without threads;
# - arc4random (2.36), std::random_device's default source: the kernel's
#   random numbers, as the C library takes them.
# The runtime's headers wait on a given clock with functions of the C library
# 2.30 (pthread_cond_clockwait, pthread_mutex_clocklock and the like); they get
# hidden definitions too, on the waits of the C library 2.28 with the deadline
# taken over to the system clock, as this runtime did before 2.30. That holds
# the floor at 2.28 (RHEL 8).
# libgcc's unwinder stays the system's shared libgcc_s: its static copy calls
# the loader's _dl_find_object (2.35), and every system has libgcc_s.
# Written only when its text changes, and compiled again when it is newer than
# its object, so that a build folder never links a stale one.
set(_orv_support ${CMAKE_BINARY_DIR}/orv_debian11_support)
file(CONFIGURE OUTPUT ${_orv_support}/floor_support.c CONTENT [=[
#define _GNU_SOURCE
#include <pthread.h>
#include <semaphore.h>
#include <stdint.h>
#include <sys/random.h>
#include <time.h>
#define ORV_HIDDEN __attribute__((visibility("hidden")))
ORV_HIDDEN char __libc_single_threaded = 0;
ORV_HIDDEN uint32_t arc4random(void) {
    uint32_t value;
    while (getrandom(&value, sizeof value, 0) != sizeof value) {
    }
    return value;
}
/* The deadline on `clock` as a deadline on the system clock. */
static struct timespec OnSystemClock(clockid_t clock, const struct timespec* deadline) {
    struct timespec now, system;
    if (clock == CLOCK_REALTIME || clock_gettime(clock, &now) != 0 ||
        clock_gettime(CLOCK_REALTIME, &system) != 0) {
        return *deadline;
    }
    long long ns = (deadline->tv_sec - now.tv_sec) * 1000000000LL + deadline->tv_nsec - now.tv_nsec;
    ns += system.tv_sec * 1000000000LL + system.tv_nsec;
    struct timespec result = {ns / 1000000000LL, ns % 1000000000LL};
    return result;
}
ORV_HIDDEN int pthread_cond_clockwait(pthread_cond_t* cond, pthread_mutex_t* mutex, clockid_t clock,
                                      const struct timespec* deadline) {
    struct timespec system = OnSystemClock(clock, deadline);
    return pthread_cond_timedwait(cond, mutex, &system);
}
ORV_HIDDEN int pthread_mutex_clocklock(pthread_mutex_t* mutex, clockid_t clock,
                                       const struct timespec* deadline) {
    struct timespec system = OnSystemClock(clock, deadline);
    return pthread_mutex_timedlock(mutex, &system);
}
ORV_HIDDEN int pthread_rwlock_clockrdlock(pthread_rwlock_t* lock, clockid_t clock,
                                          const struct timespec* deadline) {
    struct timespec system = OnSystemClock(clock, deadline);
    return pthread_rwlock_timedrdlock(lock, &system);
}
ORV_HIDDEN int pthread_rwlock_clockwrlock(pthread_rwlock_t* lock, clockid_t clock,
                                          const struct timespec* deadline) {
    struct timespec system = OnSystemClock(clock, deadline);
    return pthread_rwlock_timedwrlock(lock, &system);
}
ORV_HIDDEN int sem_clockwait(sem_t* semaphore, clockid_t clock, const struct timespec* deadline) {
    struct timespec system = OnSystemClock(clock, deadline);
    return sem_timedwait(semaphore, &system);
}
]=] @ONLY)
if(${_orv_support}/floor_support.c IS_NEWER_THAN ${_orv_support}/floor_support.o)
    execute_process(COMMAND gcc --sysroot=${ORV_DEBIAN11_ROOT} -O2 -fPIC -Wall -Wextra -c
                            floor_support.c -o floor_support.o
                    COMMAND_ERROR_IS_FATAL ANY WORKING_DIRECTORY ${_orv_support})
endif()
# The waits above are libpthread's, which every file links with them.
set(_orv_runtime "-static-libstdc++ -pthread")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${_orv_root_libs} ${_orv_runtime}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${_orv_root_libs} ${_orv_runtime}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${_orv_root_libs} ${_orv_runtime}")
# As an object, not an archive: linked in whatever comes after it.
set(CMAKE_C_STANDARD_LIBRARIES "${_orv_support}/floor_support.o")
set(CMAKE_CXX_STANDARD_LIBRARIES "${_orv_support}/floor_support.o")

# pkg-config reads the root's packages, with the root's paths.
set(ENV{PKG_CONFIG_SYSROOT_DIR} ${ORV_DEBIAN11_ROOT})
set(ENV{PKG_CONFIG_LIBDIR}
    "${ORV_DEBIAN11_ROOT}/usr/lib/x86_64-linux-gnu/pkgconfig:${ORV_DEBIAN11_ROOT}/usr/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
