#pragma once

#include <string>
#include <vector>

// What a run of the page tool printed and returned.
struct ToolRun {
    int exit_code;
    std::string out;
    std::string err;
};

// Runs the autorun-page program built beside this test program's build folder
// with the arguments (each quoted), standard output and error captured through
// files in `scratch`.
ToolRun RunPageTool(const std::vector<std::string>& arguments, const std::string& scratch);

// The exit code in the status std::system returns.
int ExitCodeOfSystem(int status);
