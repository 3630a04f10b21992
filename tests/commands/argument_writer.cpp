// argument_writer [--folder] FILE ARG...: writes each ARG on a line of its own
// into FILE (UTF-8), so that a test sees exactly what a started program was
// given; with --folder, its current folder first. The file appears whole: it
// is written beside and renamed into place.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <shellapi.h>

namespace {

std::string Utf8(const wchar_t* text) {
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size - 1 : 0, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

// The arguments as the system splits its command line.
std::vector<std::string> Arguments(int, char**) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(Utf8(wide[i]));
    }
    ::LocalFree(wide);
    return arguments;
}

}  // namespace
#else
namespace {

std::vector<std::string> Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

}  // namespace
#endif

int main(int argc, char** argv) {
    std::vector<std::string> arguments = Arguments(argc, argv);
    bool folder = arguments.size() > 1 && arguments[1] == "--folder";
    if (folder) {
        arguments.erase(arguments.begin() + 1);
    }
    if (arguments.size() < 2) {
        return 2;
    }
    std::string partial = arguments[1] + ".partial";
    FILE* file = std::fopen(partial.c_str(), "wb");
    if (!file) {
        return 1;
    }
    if (folder) {
        std::fprintf(file, "%s\n", std::filesystem::current_path().string().c_str());
    }
    for (size_t i = 2; i < arguments.size(); ++i) {
        std::fprintf(file, "%s\n", arguments[i].c_str());
    }
    std::fclose(file);
    return std::rename(partial.c_str(), arguments[1].c_str()) == 0 ? 0 : 1;
}
