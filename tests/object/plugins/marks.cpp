// Compiled into each test plug-in with PLUGIN_NAME defined as its name.
#include "marks.h"

#include <cstdio>
#include <cstdlib>

#include "probe.h"

void Mark(const char* event) {
    const char* file = std::getenv(kMarksVariable);
    if (!file) {
        return;
    }
    if (std::FILE* marks = std::fopen(file, "ab")) {
        std::fprintf(marks, "%s %s\n", PLUGIN_NAME, event);
        std::fclose(marks);
    }
}

namespace {

struct LoadMarks {
    LoadMarks() { Mark("loaded"); }
    ~LoadMarks() { Mark("unloaded"); }
} load_marks;

}  // namespace
