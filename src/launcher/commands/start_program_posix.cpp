#include "launcher/commands/start_program.h"

#include <string>

#include "base/errno_win32.h"
#include "launcher/commands/detached_spawn_posix.h"

uint32_t StartProgram(const BaseString& program, const std::vector<BaseString>& arguments, bool,
                      WindowHandle) {
    std::vector<std::string> texts{program.ToUtf8()};
    for (const BaseString& argument : arguments) {
        texts.push_back(argument.ToUtf8());
    }
    std::vector<char*> argv;
    for (std::string& text : texts) {
        argv.push_back(text.data());
    }
    argv.push_back(nullptr);
    int error = SpawnDetached(texts[0].c_str(), argv.data(), false);
    return error == 0 ? 0 : Base::Win32ErrorFromErrno(error);
}
