#include <gtest/gtest.h>

#include <atomic>
#include <exception>
#include <set>
#include <sstream>
#include <thread>

#include "host_platform.h"
#include "io/path.h"
#include "object/cleanup.h"
#include "object/library.h"
#include "object/library_impl.h"
#include "object/manager.h"
#include "object/module_lock.h"
#include "plugin_files.h"
#include "probe.h"
#include "temp_folder.h"
#include "test_support.h"

namespace {

using Marks = std::vector<std::string>;

BaseString NoLoadText(const BaseString& path) {
    return BaseString(u"An internal error occurred (object: objlib-noload(") + path.view() + u")).";
}

// Where the test build lays the plug-ins out: plugins/ beside this program.
std::filesystem::path Built(std::u16string_view name) {
    std::filesystem::path program(std::u16string(Base::ExecutablePath().view()));
    return program.parent_path() / "plugins" / Plugin(name);
}

std::set<BaseString> ClassIds(Object::StaticFactory& factory) {
    std::vector<Object::ClassRecord> records;
    factory.Describe(records);
    std::set<BaseString> ids;
    for (const Object::ClassRecord& record : records) {
        ids.insert(record.clsid);
    }
    return ids;
}

std::set<BaseString> Keys(const Ref<Object::Library>& library) {
    std::set<BaseString> keys;
    Cast<Object::DynamicFactory>(library, "test")->GetKeys(keys);
    return keys;
}

Ref<Probe> CreateProbe(Object::Factory& factory, std::u16string_view clsid = kProbeClsid) {
    Ref<BaseFace> made = factory.CreateInstance(BaseString(clsid), Probe::kIid);
    return Ref<Probe>::Adopt(static_cast<Probe*>(made.Detach()));
}

bool Sweep(const Ref<Object::Library>& library, bool forced) {
    return Cast<Cleanup::Item>(library, "test")->Sweep(forced);
}

// Makes the libraries' idle queries see the clock that far ahead.
class ClockAhead {
public:
    explicit ClockAhead(uint32_t milliseconds) {
        Object::SetIdleClockAheadForTesting(milliseconds);
    }
    ~ClockAhead() { Object::SetIdleClockAheadForTesting(0); }
};

class PluginLibraries : public testing::Test {
protected:
    static void SetUpTestSuite() {
        marks_folder_ = new TempFolder;
        SetEnvironment(kMarksVariable, marks_folder_->Native(u"marks.txt").string());
    }
    static void TearDownTestSuite() {
        delete marks_folder_;
        marks_folder_ = nullptr;
    }

    void SetUp() override { marks_folder_->WriteFile(u"marks.txt", ""); }

    // The marks the plug-ins left since the last call.
    static Marks TakeMarks() {
        std::istringstream lines(marks_folder_->ReadFile(u"marks.txt"));
        marks_folder_->WriteFile(u"marks.txt", "");
        Marks marks;
        for (std::string line; std::getline(lines, line);) {
            marks.push_back(line);
        }
        return marks;
    }

    // Copies a built plug-in file into the test's folder, by default under its
    // own name, and answers the copy's path.
    BaseString Install(std::u16string_view built, std::u16string_view as = {}) {
        std::u16string name = as.empty() ? Plugin(built) : std::u16string(as);
        std::filesystem::copy_file(Built(built), folder_.Native(name));
        return Path(name);
    }
    BaseString Path(std::u16string_view name) { return folder_.Child(name)->text(); }

    static inline TempFolder* marks_folder_ = nullptr;
    TempFolder folder_;
    Ref<Object::Library::Creator> creator_ =
        Object::Create<Object::Library::Creator>(BaseString(Object::kLibraryCreatorClsid));
};

TEST_F(PluginLibraries, RefusesFilesThatAreNotPluginLibrariesWithoutLoadingThem) {
    struct Case {
        std::u16string_view built;
        Marks marks;
    } cases[] = {
        {u"class_factory_0", {}},
        {u"name_differs", {}},
        // A library without version strings.
        {u"dependency", {}},
        // The entry points can only be looked for in the loaded file.
        {u"no_entry_points", {"no_entry_points loaded", "no_entry_points unloaded"}},
    };
    for (const Case& test : cases) {
        BaseString path = Install(test.built);
        EXPECT_FALSE(creator_->CreateLibrary(path)) << Utf8(path);
        EXPECT_EQ(TakeMarks(), test.marks) << Utf8(path);
        EXPECT_FALSE(IsModuleLoaded(path)) << Utf8(path);
    }
    folder_.WriteFile(Plugin(u"notes"), "not a library");
    EXPECT_FALSE(creator_->CreateLibrary(Path(Plugin(u"notes"))));
    EXPECT_FALSE(creator_->CreateLibrary(Path(Plugin(u"missing"))));
}

TEST_F(PluginLibraries, AcceptsAnOriginalNameThatDiffersOnlyInCase) {
    BaseString path = Install(u"case_differs");
    Ref<Object::Library> library = creator_->CreateLibrary(path);
    EXPECT_TRUE(library);
    EXPECT_EQ(TakeMarks(), (Marks{"case_differs loaded", "case_differs started"}));
    library.Reset();
    EXPECT_EQ(TakeMarks(), Marks{"case_differs unloaded"})
        << "a library unloads its file when it goes";
}

// What a file made may outlive its library, as the Error of a failed start-up
// entry leaves CreateLibrary: the file then stays loaded.
// A medium copied into a deep folder: a plug-in file past 260 characters, the
// plain limit of the Windows file and module calls (MAX_PATH), is checked,
// loaded and served like any other.
TEST_F(PluginLibraries, LoadsAFileInAFolderOf300Characters) {
    std::u16string below;
    for (char16_t letter : std::u16string_view(u"abcde")) {
        below += std::u16string(60, letter) + u"/";
    }
    std::filesystem::create_directories(folder_.Native(below));
    BaseString path = Install(u"good", below + Plugin(u"good"));
    ASSERT_GT(path.length(), 300u);
    Ref<Object::Library> library = creator_->CreateLibrary(path);
    ASSERT_TRUE(library);
    EXPECT_EQ(TakeMarks(), (Marks{"good loaded", "good started"}));
    EXPECT_EQ(library->GetFileStamp(), creator_->GetFileStamp(path));
    EXPECT_FALSE(library->GetFileStamp().empty());
    EXPECT_EQ(CreateProbe(*library)->Name(), u"good");
}

TEST_F(PluginLibraries, ALibraryThatGoesLeavesItsFileLoadedWhileSomethingOfItLives) {
    BaseString path = Install(u"good");
    Ref<Object::Library> library = creator_->CreateLibrary(path);
    ASSERT_TRUE(library);
    Ref<Probe> probe = CreateProbe(*library);
    TakeMarks();
    library.Reset();
    EXPECT_TRUE(IsModuleLoaded(path));
    EXPECT_EQ(probe->Name(), u"good");
    probe.Reset();
    EXPECT_TRUE(IsModuleLoaded(path));
    EXPECT_EQ(TakeMarks(), Marks{});
}

TEST_F(PluginLibraries, LoadsAtOnceAndServesWhatTheFileRegisters) {
    BaseString path = Install(u"good");
    Ref<Object::Library> library = creator_->CreateLibrary(path);
    ASSERT_TRUE(library);
    EXPECT_TRUE(IsModuleLoaded(path));
    EXPECT_EQ(TakeMarks(), (Marks{"good loaded", "good started"}));
    EXPECT_EQ(library->GetPath(), path);
    EXPECT_FALSE(library->GetFileStamp().empty());
    EXPECT_EQ(library->GetFileStamp(), creator_->GetFileStamp(path));
    EXPECT_EQ(ClassIds(*library), (std::set<BaseString>{kProbeClsid, kRefusingClsid}));
    EXPECT_EQ(Keys(library), std::set<BaseString>{kEchoKey});

    Ref<Object::Manager> manager = Object::NewManager();
    manager->AddFactory(library);
    EXPECT_TRUE(manager->DescribeClass(BaseString(kProbeClsid)).Implements(Probe::kIid.text));
    EXPECT_EQ(Object::CreateWith<Probe>(*manager, kProbeClsid)->Name(), u"good");
    EXPECT_EQ(Object::CreateWith<Probe>(*manager, u"CID_Test::Echo|hello")->Name(), u"hello");
}

TEST_F(PluginLibraries, ErrorOfAFactoryInsideReachesTheCallerUnchanged) {
    ScopedLanguage english(0x0409);
    Ref<Object::Library> library = creator_->CreateLibrary(Install(u"good"));
    Ref<Object::Manager> manager = Object::NewManager();
    manager->AddFactory(library);

    Error error = ErrorOf([&] { Object::CreateWith<Probe>(*manager, kRefusingClsid); });
    EXPECT_EQ(std::uncaught_exceptions(), 0);
    ASSERT_EQ(error.FrameCount(), 1u);
    EXPECT_EQ(error.CodeAt(0), ErrInternal);
    EXPECT_EQ(error.MarkedIndex(), 0);
    EXPECT_EQ(error.GetText(), u"An internal error occurred (probe: probe-refused(42)).");
    // The plug-in's code built it: the file stays loaded while it lives.
    EXPECT_FALSE(Sweep(library, true));
    error = Error();
    EXPECT_TRUE(Sweep(library, true));
}

TEST_F(PluginLibraries, AnswersFromItsCacheWithoutLoadingAndLoadsOnTheFirstCreate) {
    BaseString path = Install(u"good");
    std::vector<Object::ClassRecord> records{
        {BaseString(kProbeClsid), {BaseString(Probe::kIid.text), BaseString(u"IID_BaseFace")}}};
    Ref<Object::Library> library =
        creator_->CreateLibraryFromCache(path, records, {BaseString(kEchoKey)});
    auto dynamic = Cast<Object::DynamicFactory>(library, "test");
    EXPECT_EQ(ClassIds(*library), std::set<BaseString>{kProbeClsid});
    EXPECT_EQ(Keys(library), std::set<BaseString>{kEchoKey});
    EXPECT_EQ(dynamic->Describe(BaseString(kProbeClsid)).interfaces, records[0].interfaces);
    EXPECT_TRUE(dynamic->Describe(BaseString(kRefusingClsid)).empty());
    std::vector<Object::ClassRecord> listed;
    dynamic->ListClasses(listed, BaseString(), BaseString(Probe::kIid.text));
    EXPECT_EQ(listed.size(), 1u);
    EXPECT_TRUE(library->GetFileStamp().empty());

    // Registered with the process's manager, as a component that uses plug-ins would.
    Object::GetManager()->AddFactory(library);
    EXPECT_TRUE(Object::GetManager()->HasClass(BaseString(kProbeClsid)));
    EXPECT_EQ(TakeMarks(), Marks{});
    EXPECT_FALSE(IsModuleLoaded(path));

    // The start-up entry creates a Probe through the manager while the first
    // create still loads: it runs outside the library's inner lock.
    EXPECT_EQ(Object::Create<Probe>(BaseString(kProbeClsid))->Name(), u"good");
    EXPECT_EQ(TakeMarks(), (Marks{"good loaded", "good started", "good created good"}));
    EXPECT_EQ(library->GetFileStamp(), creator_->GetFileStamp(path));
    // The cache it was given stays: the file was loaded for a create, not asked.
    EXPECT_EQ(ClassIds(*library), std::set<BaseString>{kProbeClsid});
}

TEST_F(PluginLibraries, ForcedSweepUnloadsAnIdleFileAtOnceAndTheNextCreateReloadsIt) {
    BaseString path = Install(u"good");
    Ref<Object::Library> library = creator_->CreateLibrary(path);
    TakeMarks();

    Ref<Probe> probe = CreateProbe(*library);
    EXPECT_FALSE(Sweep(library, true)) << "an object of the file lives";
    probe.Reset();
    EXPECT_TRUE(Sweep(library, true));
    EXPECT_FALSE(IsModuleLoaded(path));
    EXPECT_EQ(TakeMarks(), Marks{"good unloaded"});
    EXPECT_FALSE(Sweep(library, true)) << "nothing left to unload";

    EXPECT_EQ(ClassIds(*library), (std::set<BaseString>{kProbeClsid, kRefusingClsid}));
    EXPECT_EQ(CreateProbe(*library)->Name(), u"good");
    EXPECT_EQ(CreateProbe(*library, u"CID_Test::Echo|again")->Name(), u"again");
    EXPECT_EQ(TakeMarks(), (Marks{"good loaded", "good started"}));
}

TEST_F(PluginLibraries, SweepUnloadsOnlyAfterTheIdleTime) {
    BaseString path = Install(u"good");
    Ref<Object::Library> library = creator_->CreateLibrary(path);
    CreateProbe(*library);

    EXPECT_FALSE(Sweep(library, false));
    {
        ClockAhead nine_minutes(Object::kLibraryIdleTimeout - 60000);
        EXPECT_FALSE(Sweep(library, false));
    }
    EXPECT_TRUE(IsModuleLoaded(path));
    {
        ClockAhead ten_minutes(Object::kLibraryIdleTimeout);
        EXPECT_TRUE(Sweep(library, false));
    }
    EXPECT_FALSE(IsModuleLoaded(path));
}

TEST_F(PluginLibraries, CleanupManagerSweepsTheLibrariesItWasGiven) {
    BaseString path = Install(u"good");
    Ref<Object::Library> library = creator_->CreateLibrary(path);
    EXPECT_TRUE(IsModuleLoaded(path));
    Cleanup::GetManager()->Run(true);
    EXPECT_FALSE(IsModuleLoaded(path));
}

TEST_F(PluginLibraries, FileThatCannotBeLoadedNowIsTriedAgainOnTheNextCreate) {
    ScopedLanguage english(0x0409);
    // load_fails needs the dependency library beside it.
    BaseString path = Install(u"load_fails");
    Ref<Object::Library> library = creator_->CreateLibrary(path);
    ASSERT_TRUE(library);
    EXPECT_EQ(TakeMarks(), Marks{});
    EXPECT_TRUE(library->GetFileStamp().empty());
    Error error = ErrorOf([&] { CreateProbe(*library); });
    EXPECT_EQ(error.GetText(), NoLoadText(path));

    Install(u"dependency");
    EXPECT_EQ(CreateProbe(*library)->Name(), u"load_fails");
    EXPECT_EQ(TakeMarks(), (Marks{"dependency loaded", "load_fails loaded", "load_fails started"}));
    EXPECT_EQ(library->GetFileStamp(), creator_->GetFileStamp(path));
}

TEST_F(PluginLibraries, RefusesAModuleThatIsNotTheFileAtItsPath) {
    ScopedLanguage english(0x0409);
    BaseString path = Install(u"good");
    Ref<Object::Library> first = creator_->CreateLibrary(path);
    ASSERT_TRUE(first);
    EXPECT_EQ(CreateProbe(*first)->Name(), u"good");
    // Loaded again while it is the file at its path: the module loaded before
    // is answered, and it is that file.
    Ref<Object::Library> again = creator_->CreateLibrary(path);
    ASSERT_TRUE(again);
    EXPECT_EQ(CreateProbe(*again)->Name(), u"good");
    EXPECT_TRUE(Sweep(again, true));
    // The loaded file moves away and another plug-in takes its place; loading
    // the path again answers the module loaded from it before.
    std::filesystem::rename(folder_.Native(Plugin(u"good")), folder_.Native(Plugin(u"old")));
    Install(u"twin/good", Plugin(u"good"));
    TakeMarks();

    Ref<Object::Library> second = creator_->CreateLibrary(path);
    ASSERT_TRUE(second) << "not definitive: another attempt may load the file";
    EXPECT_TRUE(second->GetFileStamp().empty());
    Error error = ErrorOf([&] { CreateProbe(*second); });
    EXPECT_EQ(error.GetText(), NoLoadText(path));
    EXPECT_EQ(CreateProbe(*first)->Name(), u"good");
    EXPECT_EQ(TakeMarks(), Marks{});

    EXPECT_TRUE(Sweep(first, true));
    EXPECT_EQ(CreateProbe(*second)->Name(), u"twin");
    EXPECT_EQ(TakeMarks(), (Marks{"good unloaded", "twin loaded", "twin started"}));
}

TEST_F(PluginLibraries, FileStampIsTheLastWriteTimeLowHalfFirst) {
    BaseString path = Install(u"good");
    folder_.Child(Plugin(u"good"))->setTime(Io::kTimeLastWrite, 0x01D9A1B2C3D4E5F0);
    EXPECT_EQ(creator_->GetFileStamp(path), u"c3d4e5f001d9a1b2");
    EXPECT_EQ(creator_->GetFileStamp(Path(Plugin(u"missing"))), u"");
}

// Two threads create objects of the file, and fail to, while a third sweeps
// with force as fast as it can: the file is unloaded between creates, many
// times over, never under one, and every create finds it loaded.
TEST_F(PluginLibraries, ForcedSweepsNeverUnloadAFileUnderACreate) {
    Ref<Object::Library> library = creator_->CreateLibrary(Install(u"good"));
    constexpr int kUnloads = 50;
    constexpr int kMaxRounds = 10000;
    std::atomic<int> unloads{0};
    std::atomic<bool> done{false};
    std::atomic<int> failures{0};
    std::thread sweeper([&] {
        while (!done.load()) {
            unloads += Sweep(library, true) ? 1 : 0;
        }
    });
    auto create = [&] {
        for (int round = 0; round < kMaxRounds && unloads.load() < kUnloads; ++round) {
            Ref<Probe> probe = CreateProbe(*library);
            if (!probe || probe->Name() != u"good") {
                ++failures;
            }
            probe.Reset();
            Error error = ErrorOf([&] { CreateProbe(*library, kRefusingClsid); });
            if (error.FrameCount() != 1 || error.CodeAt(0) != ErrInternal) {
                ++failures;
            }
            std::this_thread::yield();
        }
    };
    std::thread creator(create);
    create();
    creator.join();
    done.store(true);
    sweeper.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_GT(unloads.load(), 0);
    RecordProperty("unloads", unloads.load());
}

}  // namespace
