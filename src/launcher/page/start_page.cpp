#include "launcher/page/start_page.h"

#include "base/buffer.h"
#include "base/platform.h"
#include "io/path_factory.h"
#include "launcher/page/decode_utf8.h"
#include "launcher/page/page_language.h"
#include "object/manager.h"

BaseString ReadTemplateFile(Ref<Io::File>& file) {
    file =
        Io::Fs::PathFromName(BaseString(kTemplateFileName))
            ->openFile(Io::Access::kRead, Io::Share::kRead, Io::kIfExistsOpen, Io::kIfMissingFail);
    ByteBuffer bytes = Io::ReadAll(*file->source());
    return DecodeUtf8(bytes.data(), bytes.size());
}

std::unique_ptr<StartPage> StartPage::Build(const BaseString& executable_path) {
    std::unique_ptr<StartPage> start(new StartPage);
    start->template_text_ = ReadTemplateFile(start->template_file_);

    start->reader_ = Object::Create<Xml::Reader>(BaseString(Xml::kReaderClsid));
    start->document_ = start->reader_->readFile(BaseString(kDataFileName));

    start->builder_ = std::make_unique<PageBuilder>(CurrentPageLanguage(), executable_path);
    start->page_ =
        start->builder_->BuildPage(start->template_text_, start->document_, start->visibility_);
    return start;
}

std::unique_ptr<LauncherPage> BuildLauncherPage() {
    return StartPage::Build(Base::ExecutablePath());
}
