#include "launcher/page/medium_plugins.h"

#include <algorithm>

#include "base/platform.h"
#include "error/error.h"
#include "io/path_factory.h"
#include "mt/current_thread.h"
#include "object/manager.h"

namespace {

constexpr char16_t kPluginFolderName[] = u"rsc/plugins";
constexpr std::u16string_view kPluginPattern = Base::kPathSeparator == u'\\' ? u"*.dll" : u"*.so";

// The names of the folder's plug-in files in name order; none when there is no
// such folder or it cannot be read.
std::vector<BaseString> PluginNames(const Ref<Io::Path>& folder) {
    std::vector<BaseString> names;
    if (folder->type() != Io::kTypeFolder) {
        return names;
    }
    try {
        names = folder->folder(true, false, false)->list(BaseString(kPluginPattern), {});
    } catch (const Error&) {
        Mt::CheckInterrupt();
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

MediumPlugins MediumPlugins::Load() {
    MediumPlugins plugins;
    Ref<Io::Path> folder = Io::Fs::PathFromName(BaseString(kPluginFolderName));
    std::vector<BaseString> names = PluginNames(folder);
    if (names.empty()) {
        return plugins;
    }
    Ref<Object::Library::Creator> creator =
        Object::Create<Object::Library::Creator>(BaseString(Object::kLibraryCreatorClsid));
    Ref<Object::Manager> manager = Object::GetManager();
    for (const BaseString& name : names) {
        try {
            Ref<Object::Library> library = creator->CreateLibrary(folder->resolve(name)->text());
            if (library) {
                manager->AddFactory(library);
                plugins.plugins_.push_back(
                    {BaseString(kPluginFolderName) + u"/" + name.view(), library});
            }
        } catch (const Error&) {
            // A start-up entry of the file failed: it serves nothing.
            Mt::CheckInterrupt();
        }
    }
    return plugins;
}

std::optional<MediumPlugins::Served> MediumPlugins::FindClass(const BaseString& clsid) const {
    for (const Plugin& plugin : plugins_) {
        std::vector<Object::ClassRecord> records;
        plugin.library->Describe(records);
        for (Object::ClassRecord& record : records) {
            if (record.clsid == clsid) {
                return Served{plugin.file, std::move(record)};
            }
        }
    }
    return std::nullopt;
}
