#include "object/library.h"
#include "object/library_impl.h"

namespace Object {

namespace {

class LibraryCreatorImpl final : public Impl<LibraryCreatorImpl, Library::Creator> {
public:
    static constexpr const char16_t* kClsid = kLibraryCreatorClsid;

    Ref<Library> CreateLibrary(const BaseString& path) override {
        Ref<LibraryImpl> library = LibraryImpl::Make(path, {}, {});
        if (!library->TryLoad()) {
            return {};
        }
        return library;
    }

    Ref<Library> CreateLibraryFromCache(const BaseString& path,
                                        const std::vector<ClassRecord>& records,
                                        const std::set<BaseString>& keys) override {
        return LibraryImpl::Make(path, records, keys);
    }

    BaseString GetFileStamp(const BaseString& path) override { return FileStamp(path); }
};

FactoryRegistration registration{ClassFactory<LibraryCreatorImpl>()};

}  // namespace

}  // namespace Object
