#include "run_tool.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/platform.h"

namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The tool in the build folder: <build>/tools/autorun-page from <build>/tests/tools/<this>.
std::filesystem::path ToolPath() {
    std::filesystem::path self(Base::ExecutablePath().ToUtf8());
    std::filesystem::path build = self.parent_path().parent_path().parent_path();
    return build / "tools" / (Base::kPathSeparator == u'\\' ? "autorun-page.exe" : "autorun-page");
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

}  // namespace

ToolRun RunPageTool(const std::vector<std::string>& arguments, const std::string& scratch) {
    std::filesystem::path out = std::filesystem::path(scratch) / "tool-out.txt";
    std::filesystem::path err = std::filesystem::path(scratch) / "tool-err.txt";
    std::string command = Quoted(ToolPath().string());
    for (const std::string& argument : arguments) {
        command += " " + Quoted(argument);
    }
    command += " > " + Quoted(out.string()) + " 2> " + Quoted(err.string());
    // cmd.exe drops the first and last quote of a command that starts with one.
    if (Base::kPathSeparator == u'\\') {
        command = Quoted(command);
    }
    int status = std::system(command.c_str());
    return {ExitCodeOfSystem(status), ReadAll(out), ReadAll(err)};
}
