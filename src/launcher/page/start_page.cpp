#include "launcher/page/start_page.h"

#include "base/buffer.h"
#include "base/platform.h"
#include "io/path_factory.h"
#include "launcher/page/decode_utf8.h"
#include "launcher/page/page_language.h"
#include "object/manager.h"

namespace {

constexpr char16_t kTemplateName[] = u"rsc/autorun.tpl";
constexpr char16_t kDataName[] = u"autorun.xml";

}  // namespace

std::unique_ptr<StartPage> StartPage::Build(const BaseString& executable_path) {
    std::unique_ptr<StartPage> start(new StartPage);
    start->template_file_ =
        Io::Fs::PathFromName(BaseString(kTemplateName))
            ->openFile(Io::kAccessRead, Io::kShareRead, Io::kIfExistsOpen, Io::kIfMissingFail);
    ByteBuffer bytes = Io::ReadAll(*start->template_file_->source());
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
