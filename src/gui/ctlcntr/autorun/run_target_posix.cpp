#include "gui/ctlcntr/autorun/run_target.h"

bool IsFullRunTarget(std::u16string_view argument) {
    return argument.starts_with(u'/');
}

BaseString ExecutableFolder(const BaseString& executable_path) {
    size_t separator = executable_path.FindLast(u'/');
    return separator == BaseString::npos ? BaseString() : executable_path.Substr(0, separator + 1);
}
