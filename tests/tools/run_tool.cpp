#include "run_tool.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

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

}  // namespace

ToolRun RunPageTool(const std::vector<std::string>& arguments, const std::string& scratch) {
    std::filesystem::path out = std::filesystem::path(scratch) / "tool-out.txt";
    std::filesystem::path err = std::filesystem::path(scratch) / "tool-err.txt";
    // Wine under heavy load now and then fails to start a process at all; that
    // says nothing about the tool, so a start that failed is tried again.
    constexpr int kStarts = 5;
    int error = 0;
    for (int start = 1; start <= kStarts; ++start) {
        if (std::optional<int> code = RunProgram(ToolPath(), arguments, out, err, error)) {
            return {*code, ReadAll(out), ReadAll(err)};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200 * start));
    }
    ADD_FAILURE() << ToolPath() << " could not be started: system error " << error;
    return {-1, "", ""};
}
