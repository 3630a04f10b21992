#include "gui/ctlcntr/autorun/start_page.h"

#include "base/buffer.h"
#include "base/platform.h"
#include "gui/ctlcntr/autorun/decode_utf8.h"
#include "gui/ctlcntr/autorun/page_language.h"
#include "io/path_factory.h"
#include "object/manager.h"

namespace {

constexpr char16_t kTemplateName[] = u"rsc/autorun.tpl";
constexpr char16_t kDataName[] = u"autorun.xml";

// The whole file, read through its byte source.
ByteBuffer ReadWhole(const Ref<Io::File>& file) {
    Ref<Io::Source> source = file->source();
    ByteBuffer bytes;
    while (!source->atEnd()) {
        ByteBuffer chunk = source->read();
        if (chunk.empty()) {
            break;
        }
        bytes.Append(chunk.data(), chunk.size());
    }
    return bytes;
}

}  // namespace

std::unique_ptr<StartPage> StartPage::Build(const BaseString& executable_path) {
    std::unique_ptr<StartPage> start(new StartPage);
    {
        Ref<Io::Path> path =
            Object::Create<Io::Fs::PathFactory>(BaseString(Io::Fs::kPathFactoryClsid))
                ->create(Io::Fs::kPathFromName, Value(kTemplateName), false);
        start->template_file_ =
            path->openFile(Io::kAccessRead, Io::kShareRead, Io::kIfExistsOpen, Io::kIfMissingFail);
    }
    ByteBuffer bytes = ReadWhole(start->template_file_);
    start->template_text_ = DecodeUtf8(bytes.data(), bytes.size());

    start->reader_ = Object::Create<Xml::Reader>(BaseString(Xml::kReaderClsid));
    start->document_ = start->reader_->readFile(BaseString(kDataName));

    start->builder_ = std::make_unique<PageBuilder>(CurrentPageLanguage(), executable_path);
    start->page_ =
        start->builder_->BuildPage(start->template_text_, start->document_, start->visibility_);
    return start;
}

std::unique_ptr<LauncherPage> BuildLauncherPage() {
    return StartPage::Build(Base::ExecutablePath());
}
