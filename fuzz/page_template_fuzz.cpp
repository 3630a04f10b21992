// A random template rendered against a small fixed data document: a syntax
// error or a page, never a crash or a hang. The parse that goes on past
// problems finds one exactly when the launcher's parse fails, gives the same
// segments otherwise, and every segment's text stands where it says.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "error/error.h"
#include "launcher/page/page_builder.h"
#include "launcher/page/template_blocks.h"
#include "object/manager.h"
#include "object/system.h"
#include "xml/reader.h"

namespace {

constexpr char16_t kData[] =
    u"<content><translations><L0409><string id='t' value='#u# %%lang'/><string id='u' value='U'/>"
    u"</L0409></translations><data><group title='%%counter'><entry href='run:a' "
    u"visibility='CID_X'/><data><entry/></data></group><entry "
    u"title='#t#'/><other/></data></content>";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Object::ModuleStart();
    static Ref<Xml::Document> document =
        Object::Create<Xml::Reader>(BaseString(Xml::kReaderClsid))->readString(BaseString(kData));
    BaseString page_template =
        BaseString::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    bool failed = false;
    try {
        PageBuilder builder(0x0409, BaseString(u"/media/autorun"));
        VisibilityMap visibility;
        builder.BuildPage(page_template, document, visibility);
    } catch (const Error&) {
        failed = true;
    }
    std::vector<TemplateProblem> problems;
    std::vector<TemplateSegment> segments = ParseTemplate(page_template, problems);
    if (failed != !problems.empty()) {
        __builtin_trap();
    }
    TemplateBlocks blocks(segments);
    for (const TemplateSegment& segment : segments) {
        if (page_template.view().substr(segment.start, segment.text.length()) !=
            segment.text.view()) {
            __builtin_trap();
        }
        blocks.Find(segment.block_name);
    }
    return 0;
}
