#include "launcher/commands/run_target.h"

#include "base/platform.h"

BaseString ResolveRunTarget(std::u16string_view argument) {
    return ResolveRunTargetFor(argument, Base::ExecutablePath());
}

BaseString ResolveRunTargetFor(std::u16string_view argument, const BaseString& executable_path) {
    if (Base::IsFullPath(argument) || executable_path.empty()) {
        return BaseString(argument);
    }
    size_t separator = argument.find_last_of(u"\\/");
    std::u16string_view last_component =
        separator == std::u16string_view::npos ? argument : argument.substr(separator + 1);
    return BaseString(Base::FolderOf(executable_path)) + last_component;
}
