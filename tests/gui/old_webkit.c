/* A WebKitGTK 4.0 of release 2.38 as far as the launcher asks before it calls
 * anything else: the library's name and version functions, with GTK loaded
 * beside it as the real one brings it. */
unsigned int webkit_get_major_version(void) {
    return 2;
}

unsigned int webkit_get_minor_version(void) {
    return 38;
}

unsigned int webkit_get_micro_version(void) {
    return 0;
}
