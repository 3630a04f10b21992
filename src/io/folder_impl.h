#pragma once

#include "base/string.h"
#include "io/folder.h"
#include "object/impl.h"

namespace Io::Fs {

class FolderImpl final : public Object::Impl<FolderImpl, Io::Folder> {
public:
    explicit FolderImpl(BaseString path) : path_(std::move(path)) {}

    std::vector<BaseString> list(const BaseString& pattern, const Ref<Filter>& filter) override;

private:
    const BaseString path_;
};

// The folder at a normalised path, by the rules of Io::Path::folder.
Ref<Io::Folder> OpenFolder(const BaseString& path, bool open_existing, bool create,
                           bool create_parents);

}  // namespace Io::Fs
