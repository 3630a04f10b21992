#pragma once

#include <string_view>

#include "base/string.h"
#include "io/path.h"
#include "object/impl.h"

namespace Io::Fs {

// A path object: one normalised text of the native style.
class PathImpl final : public Object::Impl<PathImpl, Io::Path, Io::UriEnabled> {
public:
    explicit PathImpl(BaseString text) : text_(std::move(text)) {}

    BaseString text() override { return text_; }
    BaseString name() override;
    Ref<Path> parentFolder() override;
    Ref<Path> resolve(const BaseString& name) override;
    Ref<Path> root() override;
    uint32_t type() override;
    uint64_t time(uint32_t which) override;
    void setTime(uint32_t which, uint64_t file_time) override;
    Ref<File> openFile(Access access, Share share, uint32_t if_exists,
                       uint32_t if_missing) override;
    Ref<Folder> folder(bool open_existing, bool create, bool create_parents) override;
    void remove(bool recursive) override;

    // A "file" URI with the path as component 5 ("C:\a b" gives "C|/a b").
    Ref<Uri> uri() override;

private:
    const BaseString text_;
};

// The path of a name, taken relative to the current directory when it has no
// root. A name that is not a valid path gives none when `quiet`, else the error
// "badpath '%s'".
Ref<PathImpl> MakePath(std::u16string_view name, bool quiet);

}  // namespace Io::Fs
