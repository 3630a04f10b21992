#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/string.h"
#include "launcher/page/assumed_visibility.h"

// autorun-page --preview: pictures of the page as the launcher shows it, one
// per language that the medium's data file translates to and one for the
// launcher's default language, with an index.html that shows them side by side.

// A picture of the page in one language and the file it goes to.
struct PreviewPicture {
    uint32_t language;
    std::string file;  // the file's name in the preview folder, "0407-de.png"
    bool is_default;   // the language the launcher starts in on this machine
};

// The pictures for the medium in the current directory: the languages of its
// data file's translations in their order, then the current language unless
// it is one of them. Throws Error when the data file cannot be read.
std::vector<PreviewPicture> PreviewPictures();

// The index page of a preview folder.
std::string PreviewIndex(const std::vector<PreviewPicture>& pictures);

// The folder and its missing parents, made with the platform's calls so that a
// failure is told in the system's words. Throws Error.
void CreateFolders(const std::filesystem::path& folder);

// Takes the pictures with the launcher's window code (the program
// autorun-preview beside this tool), on the display or, without one, on an X
// server of its own (Xvfb), into `folder` (an absolute path), which it makes
// when needed; with the assumed classes' elements shown or hidden. Returns
// false after saying why on standard error; throws Error when the folder
// cannot be made.
bool TakePreviewPictures(const std::vector<PreviewPicture>& pictures, const std::string& folder,
                         const AssumedVisibility& assumed);
