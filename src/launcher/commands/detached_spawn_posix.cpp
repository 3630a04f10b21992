#include "launcher/commands/detached_spawn_posix.h"

#include <glib.h>
#include <spawn.h>

extern char** environ;

int SpawnDetached(const char* program, char* const argv[], bool search_path) {
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    int result = search_path ? posix_spawnp(&pid, program, nullptr, &attributes, argv, environ)
                             : posix_spawn(&pid, program, nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    if (result == 0) {
        g_child_watch_add(
            pid, [](GPid child, gint, gpointer) { g_spawn_close_pid(child); }, nullptr);
    }
    return result;
}
