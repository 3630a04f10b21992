/* An audit library for the system's loader (LD_AUDIT) that hides shared
 * libraries from it, for the tests of a machine without them: every library
 * whose name contains one of the colon-separated texts of HIDE_LIBRARIES is
 * not found, whether the program names it or loads it while it runs. */
#define _GNU_SOURCE
#include <link.h>
#include <stdlib.h>
#include <string.h>

unsigned int la_version(unsigned int version) {
    (void)version;
    return LAV_CURRENT;
}

static int IsHidden(const char* name) {
    const char* hidden = getenv("HIDE_LIBRARIES");
    while (hidden && *hidden) {
        const char* end = strchr(hidden, ':');
        size_t length = end ? (size_t)(end - hidden) : strlen(hidden);
        if (length > 0 && memmem(name, strlen(name), hidden, length)) {
            return 1;
        }
        hidden = end ? end + 1 : NULL;
    }
    return 0;
}

char* la_objsearch(const char* name, uintptr_t* cookie, unsigned int flag) {
    (void)cookie;
    (void)flag;
    return IsHidden(name) ? NULL : (char*)name;
}
