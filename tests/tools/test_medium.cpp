#include "test_medium.h"

TestMedium::TestMedium(std::string_view page_template, std::string_view data) {
    std::filesystem::create_directory(folder_.Native(u"rsc"));
    if (!page_template.empty()) {
        folder_.WriteFile(u"rsc/autorun.tpl", page_template);
    }
    if (!data.empty()) {
        folder_.WriteFile(u"autorun.xml", data);
    }
}

ToolRun TestMedium::Run(std::vector<std::string> options) const {
    options.push_back(Dir());
    return RunPageTool(options, Dir());
}

void TestMedium::AddPlugin(const std::filesystem::path& file) const {
    std::filesystem::create_directories(folder_.Native(u"rsc/plugins"));
    std::filesystem::copy_file(file, folder_.Native(u"rsc/plugins") / file.filename());
}
