#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "base/string.h"
#include "io/path.h"

// A path made by the path factory from a name.
Ref<Io::Path> MakePath(std::u16string_view name);

// A fresh folder under the system's temporary folder, removed with all it holds
// when this goes. Files are put in and read back with the standard library, so
// the code under test is checked against an independent peer.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const Ref<Io::Path>& path() const { return path_; }
    // The entry of that name inside the folder.
    Ref<Io::Path> Child(std::u16string_view name) const;
    std::filesystem::path Native(std::u16string_view name) const;

    void WriteFile(std::u16string_view name, std::string_view bytes) const;
    std::string ReadFile(std::u16string_view name) const;
    bool Exists(std::u16string_view name) const;

private:
    std::filesystem::path native_;
    Ref<Io::Path> path_;
};

// Bytes that differ from one offset to the next, to catch misplaced chunks.
std::string PatternBytes(size_t size);
