// A random declaration file (whatever the XML reader accepts) read into page
// extensions with every mistake reported: declarations, never a crash, a hang
// or a runaway recursion.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "error/error.h"
#include "launcher/page/extension_file.h"
#include "object/manager.h"
#include "object/system.h"
#include "xml/reader.h"

namespace {

class IgnoredProblems final : public ExtensionFileProblems {
public:
    void Report(const Ref<Xml::Node>& node, const BaseString& message) override {
        // Every report names a node and says something.
        if (!node || message.empty()) {
            __builtin_trap();
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Object::ModuleStart();
    BaseString xml =
        BaseString::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    try {
        Ref<Xml::Document> document =
            Object::Create<Xml::Reader>(BaseString(Xml::kReaderClsid))->readString(xml);
        IgnoredProblems problems;
        ReadExtensionDeclarations(document, &problems);
        ReadExtensionDeclarations(document, nullptr);
    } catch (const Error&) {
    }
    return 0;
}
