// A random data file (whatever the XML reader accepts) rendered with a fixed
// template: a page or a format error, never a crash or a hang.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "error/error.h"
#include "launcher/page/page_builder.h"
#include "object/manager.h"
#include "object/system.h"
#include "xml/reader.h"

namespace {

constexpr char16_t kTemplate[] =
    u"<h1>#title# %%lang</h1><%group%><ul><%entry%><li>%%entry.title%% %%counter</li></%entry%>"
    u"</ul></%group%><%entry%><p>%%entry.title%%</p></%entry%><footer/>";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Object::ModuleStart();
    if (size < 1) {
        return 0;
    }
    // The first byte picks the page language among a few with and without rows.
    static const uint32_t kLanguages[] = {0x0409, 0x0407, 0x0c0a, 0x0411};
    uint32_t language = kLanguages[data[0] % 4];
    BaseString xml =
        BaseString::FromUtf8(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    try {
        Ref<Xml::Document> document =
            Object::Create<Xml::Reader>(BaseString(Xml::kReaderClsid))->readString(xml);
        PageBuilder builder(language, BaseString(u"/media/autorun"));
        VisibilityMap visibility;
        builder.BuildPage(BaseString(kTemplate), document, visibility);
    } catch (const Error&) {
    }
    return 0;
}
