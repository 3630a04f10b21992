#include "base/platform.h"
#include "error/error.h"
#include "io/file_uri.h"
#include "io/module_file.h"
#include "io/path_factory.h"
#include "io/path_impl.h"
#include "object/manager.h"
#include "object/service_factory.h"
#include "object/value.h"

namespace Io::Fs {

namespace {

// Makes the path of a "file" URI.
class FileUriHandler final : public Object::Impl<FileUriHandler, Io::UriScheme::Factory> {
public:
    static constexpr char16_t kClsid[] = u"Io::UriScheme::Handler|file";

    Ref<UriEnabled> create(const UriComponents& components) override {
        return MakePath(PathNameOfFileUri(components), false);
    }
};

// The one path factory, its own static factory; it also serves the file URI
// handler.
class PathFactoryImpl final : public Object::ServiceFactory<PathFactoryImpl, Io::Fs::PathFactory> {
public:
    static constexpr const char16_t* kServiceClsids[] = {kPathFactoryClsid};

    static void DescribeOthers(std::vector<Object::ClassRecord>& records) {
        records.push_back({BaseString(FileUriHandler::kClsid), FileUriHandler::InterfaceIds()});
    }
    Ref<BaseFace> CreateOther(const BaseString& clsid) {
        return clsid == FileUriHandler::kClsid ? Object::New<FileUriHandler>() : nullptr;
    }

    Ref<Path> create(int32_t kind, const Value& source, bool quiet) override {
        BaseString name;
        switch (kind) {
            case kPathFromName:
                if (source.tag() == Value::kString) {
                    name = source.GetString();
                }
                break;
            case kPathOfModule:
                if (source.tag() == Value::kString) {
                    name = ModuleFileByName(source.GetString());
                } else if (source.tag() == Value::kModule) {
                    name = ModuleFileByHandle(source.GetModule());
                } else {
                    name = Base::ExecutablePath();
                }
                break;
            default:
                throw Error::Internal("bad-pathtype(%d)", "fs", kind);
        }
        return MakePath(name, quiet);
    }
};

Object::FactoryRegistration registration{Object::New<PathFactoryImpl>()};

}  // namespace

Ref<Path> PathFromName(const BaseString& name) {
    return Object::Create<PathFactory>(BaseString(kPathFactoryClsid))
        ->create(kPathFromName, Value(name), false);
}

}  // namespace Io::Fs
