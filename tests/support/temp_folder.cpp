#include "temp_folder.h"

#include <fstream>
#include <iterator>
#include <random>

#include "io/path_factory.h"
#include "object/manager.h"

Ref<Io::Path> MakePath(std::u16string_view name) {
    return Io::Fs::PathFromName(BaseString(name));
}

TempFolder::TempFolder() {
    std::random_device random;
    std::string name = "orv-io-" + std::to_string(random()) + std::to_string(random());
    native_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directories(native_);
    path_ = MakePath(native_.u16string());
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(native_, ignored);
}

Ref<Io::Path> TempFolder::Child(std::u16string_view name) const {
    return path_->resolve(BaseString(name));
}

std::filesystem::path TempFolder::Native(std::u16string_view name) const {
    return native_ / std::u16string(name);
}

void TempFolder::WriteFile(std::u16string_view name, std::string_view bytes) const {
    std::ofstream out(Native(name), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempFolder::ReadFile(std::u16string_view name) const {
    std::ifstream in(Native(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool TempFolder::Exists(std::u16string_view name) const {
    std::error_code ignored;
    return std::filesystem::exists(std::filesystem::symlink_status(Native(name), ignored));
}

std::string PatternBytes(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    }
    return bytes;
}
