#include "object/library_impl.h"

namespace Object {

LibraryImpl::LibraryImpl(BaseString path, std::vector<ClassRecord> records,
                         std::set<BaseString> keys)
    : path_(std::move(path)), records_(std::move(records)), keys_(std::move(keys)) {}

// An object or an Error of the file may outlive its library: an Error thrown
// by a start-up entry leaves CreateLibrary after the library it was loading has
// gone. Unmapping the file would leave them without their code, so it stays
// loaded for the rest of the process.
LibraryImpl::~LibraryImpl() {
    if (dll_ && !dll_->IsUnlocked(0)) {
        dll_->KeepLoaded();
    }
}

Ref<LibraryImpl> LibraryImpl::Make(BaseString path, std::vector<ClassRecord> records,
                                   std::set<BaseString> keys) {
    Ref<LibraryImpl> library =
        New<LibraryImpl>(std::move(path), std::move(records), std::move(keys));
    library->cleanup_ = Cleanup::GetManager();
    library->cleanup_->AddItem(library);
    return library;
}

bool LibraryImpl::TryLoad() {
    Use use(uses_);
    if (EnsureLoaded(false)) {
        return true;
    }
    std::lock_guard inner(inner_);
    return !definitive_;
}

Ref<CompoundFactory> LibraryImpl::EnsureLoaded(bool forced) {
    std::lock_guard outer(outer_);
    Ref<CompoundFactory> factories;
    LibraryStartup* startup = nullptr;
    {
        std::lock_guard inner(inner_);
        if (!dll_) {
            DllLoad load = LoadDll(path_);
            definitive_ = load.definitive;
            if (load.dll) {
                Ref<CompoundFactory> loaded = New<CompoundFactory>();
                for (FactoryRegistration* node = load.dll->Registrations(); node;
                     node = node->Next()) {
                    loaded->Add(node->GetFactory());
                }
                if (!forced) {
                    records_.clear();
                    loaded->Describe(records_);
                    keys_.clear();
                    loaded->GetKeys(keys_);
                }
                startup = load.dll->StartupEntries();
                dll_ = std::move(load.dll);
                factories_ = std::move(loaded);
            }
        }
        if (forced && !dll_) {
            throw Error::Internal("objlib-noload(%s)", "object", path_);
        }
        factories = factories_;
    }
    // Outside the inner lock: an entry may create the file's own classes.
    for (; startup; startup = startup->Next()) {
        startup->Run();
    }
    return factories;
}

Ref<BaseFace> LibraryImpl::CreateInstance(const BaseString& clsid, const Iid& iid) {
    Use use(uses_);
    return EnsureLoaded(true)->CreateInstance(clsid, iid);
}

Ref<BaseFace> LibraryImpl::Create(const BaseString& clsid) {
    return CreateInstance(clsid, BaseFace::kIid);
}

void LibraryImpl::Describe(std::vector<ClassRecord>& records) {
    std::lock_guard inner(inner_);
    records.insert(records.end(), records_.begin(), records_.end());
}

BaseString LibraryImpl::GetFileStamp() {
    {
        std::lock_guard inner(inner_);
        if (!definitive_) {
            return {};
        }
    }
    return FileStamp(path_);
}

void LibraryImpl::GetKeys(std::set<BaseString>& keys) {
    std::lock_guard inner(inner_);
    keys.insert(keys_.begin(), keys_.end());
}

ClassRecord LibraryImpl::Describe(const BaseString& clsid) {
    std::lock_guard inner(inner_);
    for (const ClassRecord& record : records_) {
        if (record.clsid == clsid) {
            return record;
        }
    }
    return {};
}

void LibraryImpl::ListClasses(std::vector<ClassRecord>& records, const BaseString& pattern,
                              const BaseString& iid) {
    std::lock_guard inner(inner_);
    for (const ClassRecord& record : records_) {
        if (ClassMatches(record.clsid, pattern) && (iid.empty() || record.Implements(iid))) {
            records.push_back(record);
        }
    }
}

bool LibraryImpl::Sweep(bool forced) {
    std::lock_guard inner(inner_);
    if (!dll_ || uses_.load() != 0 || !dll_->IsUnlocked(forced ? 0 : kLibraryIdleTimeout)) {
        return false;
    }
    factories_.Reset();
    dll_.reset();
    return true;
}

}  // namespace Object
