#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "run_tool.h"
#include "temp_folder.h"

// A medium in a temporary folder: the template and the data file as given (an
// absent one is not written), and whatever else a test puts there.
class TestMedium {
public:
    TestMedium(std::string_view page_template, std::string_view data);

    void WriteFile(std::u16string_view name, std::string_view bytes) const {
        folder_.WriteFile(name, bytes);
    }
    // The file's bytes; empty when there is no such file.
    std::string ReadFile(std::u16string_view name) const {
        return folder_.Exists(name) ? folder_.ReadFile(name) : std::string();
    }
    // Copies a plug-in file into the medium's plug-in folder.
    void AddPlugin(const std::filesystem::path& file) const;
    std::filesystem::path Native(std::u16string_view name) const { return folder_.Native(name); }

    // The page tool with the options and the medium's folder.
    ToolRun Run(std::vector<std::string> options = {}) const;
    std::string Dir() const { return folder_.Native(u"rsc").parent_path().string(); }

private:
    TempFolder folder_;
};
