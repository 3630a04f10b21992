#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "object/cleanup.h"
#include "object/compound_factory.h"
#include "object/dll.h"
#include "object/library.h"

namespace Object {

// A library waits this long after its file's last object is gone before a
// cleanup pass that is not forced unloads it.
inline constexpr uint32_t kLibraryIdleTimeout = 600000;

// The library of one plug-in file. Loading is serialised by the outer lock; the
// loaded file, its factories, the cache and the definitive flag are guarded by
// the inner lock. Create calls run outside both once the file is loaded, counted
// by the use counter, so a cleanup pass never unloads a file that is in use.
class LibraryImpl final : public Impl<LibraryImpl, Library, DynamicFactory, Cleanup::Item> {
public:
    // A new, unloaded library, registered with the process's cleanup manager.
    static Ref<LibraryImpl> Make(BaseString path, std::vector<ClassRecord> records,
                                 std::set<BaseString> keys);

    // Loads the file unless it is loaded, taking the cache from it; false when it
    // stays unloaded and another attempt would not change that.
    bool TryLoad();

    Ref<BaseFace> CreateInstance(const BaseString& clsid, const Iid& iid) override;
    Ref<BaseFace> Create(const BaseString& clsid) override;
    void Describe(std::vector<ClassRecord>& records) override;
    BaseString GetFileStamp() override;
    BaseString GetPath() override { return path_; }

    void GetKeys(std::set<BaseString>& keys) override;
    ClassRecord Describe(const BaseString& clsid) override;
    void ListClasses(std::vector<ClassRecord>& records, const BaseString& pattern,
                     const BaseString& iid) override;

    // Unloads the file when it is loaded, no create call runs and its module
    // lock has been free (forced: at all; otherwise for the idle timeout).
    bool Sweep(bool forced) override;

    LibraryImpl(BaseString path, std::vector<ClassRecord> records, std::set<BaseString> keys);
    // Unloads the file unless something of it lives on (see the definition).
    ~LibraryImpl();

private:
    // Counts a call that may run the file's code.
    class Use {
    public:
        explicit Use(std::atomic<uint32_t>& uses) : uses_(uses) { uses_.fetch_add(1); }
        ~Use() { uses_.fetch_sub(1); }
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;

    private:
        std::atomic<uint32_t>& uses_;
    };

    // The factories of the loaded file; none when it could not be loaded, or
    // "objlib-noload(%s)" when `forced`. Called within a Use.
    Ref<CompoundFactory> EnsureLoaded(bool forced);

    const BaseString path_;
    // Keeps the manager the library is registered with alive.
    Ref<Cleanup::Manager> cleanup_;
    // Recursive: a start-up entry of the file may create its own classes.
    std::recursive_mutex outer_;
    std::mutex inner_;
    std::vector<ClassRecord> records_;
    std::set<BaseString> keys_;
    std::unique_ptr<Dll> dll_;
    Ref<CompoundFactory> factories_;
    bool definitive_ = false;
    std::atomic<uint32_t> uses_{0};
};

}  // namespace Object
