#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// What a run of the page tool printed and returned.
struct ToolRun {
    int exit_code;
    std::string out;
    std::string err;
};

// Runs the autorun-page program built beside this test program's build folder
// with the arguments, standard output and error captured through files in
// `scratch`.
ToolRun RunPageTool(const std::vector<std::string>& arguments, const std::string& scratch);

// Starts the program itself, with no shell between, with the arguments (UTF-8)
// and its standard output and error written to the files, and waits for it to
// end: its exit code, or nothing when it could not be started (`error` then
// holds the system's reason).
std::optional<int> RunProgram(const std::filesystem::path& program,
                              const std::vector<std::string>& arguments,
                              const std::filesystem::path& out, const std::filesystem::path& err,
                              int& error);
