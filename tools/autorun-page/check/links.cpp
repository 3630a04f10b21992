// The page's links and the page extensions its elements are bound to.
#include <fstream>
#include <iterator>
#include <set>
#include <tuple>
#include <unordered_map>

#include "base/platform.h"
#include "check/checks.h"
#include "launcher/commands/link_command.h"
#include "launcher/commands/run_target.h"
#include "launcher/commands/shell_open.h"
#include "launcher/page/html_scan.h"
#include "launcher/page/property_sheet_extension.h"
#include "launcher/page/start_page.h"
#include "launcher/page/template_blocks.h"
#include "launcher/page/translate_page.h"
#include "object/manager.h"

namespace {

constexpr char16_t kNotServed[] =
    u"no built-in class and no plug-in in rsc/plugins/ serves it as a page extension";

BaseString Quoted(std::u16string_view text) {
    return u"\"" + BaseString(text) + u"\"";
}

// Whether the launcher could create the page extension of that class.
bool IsServed(const BaseString& clsid) {
    Ref<Object::Manager> manager = Object::GetManager();
    return manager->HasClass(clsid) && manager->DescribeClass(clsid).Implements(
                                           BaseString(Gui::PropertySheetExtension::kIid.text));
}

class LinkChecker {
public:
    LinkChecker(const Medium& medium, const BaseString& launcher, Findings& findings)
        : medium_(medium), launcher_(launcher), findings_(findings) {}

    // A link as the page has it after the macros; keys in it are replaced by
    // each language's text.
    void Check(const BaseString& url, std::u16string_view file, Xml::TextPosition at) {
        // A link written alike several times in a block, at an item, is
        // checked there once.
        if (!checked_.emplace(BaseString(file), at.line, at.column, url).second) {
            return;
        }
        std::set<BaseString> urls;
        for (const MediumLanguage& language : medium_.languages()) {
            if (!language.strings.empty() && url.Find(u'#') != BaseString::npos) {
                urls.insert(TranslatePage(url, language.strings));
            }
        }
        if (urls.empty()) {
            urls.insert(url);
        }
        for (const BaseString& translated : urls) {
            CheckCommand(translated, file, at);
        }
    }

private:
    void CheckCommand(const BaseString& url, std::u16string_view file, Xml::TextPosition at) {
        LinkCommand command = ParseLinkCommand(url.view());
        switch (command.kind) {
            case LinkCommand::Kind::kRun:
                CheckRun(command.argument, file, at);
                break;
            case LinkCommand::Kind::kInvoke:
                if (!IsServed(command.argument)) {
                    findings_.Warning(file, at,
                                      Quoted(u"invoke:" + command.argument) + u": " + kNotServed +
                                          u" (the link shows an error)");
                }
                break;
            case LinkCommand::Kind::kQuit:
                break;
            case LinkCommand::Kind::kNone:
                findings_.Warning(file, at,
                                  u"link " + Quoted(url.view()) +
                                      u" is not \"run:\", \"invoke:\" or \"quit:\": it does "
                                      u"nothing in the launcher");
                break;
        }
    }

    void CheckRun(const BaseString& target, std::u16string_view file, Xml::TextPosition at) {
        BaseString path = ResolveRunTargetFor(target.view(), launcher_);
        BaseString link = Quoted(u"run:" + target) + u": ";
        BaseString shown = Quoted(
            Base::IsFullPath(target.view()) ? target.view() : Base::LastComponentOf(path.view()));
        switch (PredictShellOpen(path)) {
            case ShellOpenOutcome::kStarts:
            case ShellOpenOutcome::kOpens:
                break;
            case ShellOpenOutcome::kMissing:
                findings_.Warning(file, at,
                                  Base::IsFullPath(target.view())
                                      ? link + shown + u" does not exist"
                                      : link + u"no " + shown +
                                            u" beside the launcher (a \"run:\" link starts a file "
                                            u"from the launcher's own folder)");
                break;
            case ShellOpenOutcome::kCannotOpen:
                findings_.Warning(file, at, link + shown + u" can be neither started nor opened");
                break;
            case ShellOpenOutcome::kProgramNotStartable:
                findings_.Warning(file, at,
                                  link + shown +
                                      u" is a program without permission to run: the launcher "
                                      u"opens it instead of starting it");
                break;
        }
    }

    const Medium& medium_;
    const BaseString& launcher_;
    Findings& findings_;
    std::set<std::tuple<BaseString, int32_t, int32_t, BaseString>> checked_;
};

// Whether the script defines the function: "function SetObjectVisibility" or
// an assignment "SetObjectVisibility =".
bool DefinesSetObjectVisibility(std::u16string_view script) {
    constexpr std::u16string_view kName = u"SetObjectVisibility";
    auto is_space = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
    for (size_t at = script.find(kName); at != std::u16string_view::npos;
         at = script.find(kName, at + 1)) {
        size_t before = at;
        while (before > 0 && is_space(script[before - 1])) {
            --before;
        }
        if (before < at && script.substr(0, before).ends_with(u"function")) {
            return true;
        }
        size_t after = at + kName.size();
        while (after < script.size() && is_space(script[after])) {
            ++after;
        }
        if (script.substr(after, 1) == u"=" && script.substr(after, 2) != u"==") {
            return true;
        }
    }
    return false;
}

// The template's own script and the medium's script files it loads.
bool PageDefinesSetObjectVisibility(const Medium& medium) {
    std::u16string_view page = medium.template_text().view();
    if (DefinesSetObjectVisibility(page)) {
        return true;
    }
    for (const HtmlAttributeValue& source : FindTagAttributes(page, {u"script"}, u"src")) {
        std::ifstream in(ReplaceCharacterReferences(source.raw).ToUtf8(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (DefinesSetObjectVisibility(BaseString::FromUtf8(bytes).view())) {
            return true;
        }
    }
    return false;
}

}  // namespace

void CheckLinks(const Medium& medium, const BaseString& launcher, Findings& findings) {
    if (!medium.has_template()) {
        return;
    }
    const std::vector<TemplateSegment>& segments = medium.segments();
    TemplateBlocks blocks(segments);
    PageBuilder builder(0x0409, launcher);
    builder.SetBuiltinMacros();
    LinkChecker links(medium, launcher, findings);

    // The segments that render (the text outside the blocks, and the blocks'
    // own text), and the items of each name.
    std::vector<bool> rendered(segments.size());
    std::unordered_map<std::u16string_view, std::vector<const PageItem*>> items_named;
    for (const PageItem& item : medium.items()) {
        std::vector<const PageItem*>& named = items_named[item.name.view()];
        if (named.empty()) {
            for (size_t segment : blocks.Find(item.name).own) {
                rendered[segment] = true;
            }
        }
        named.push_back(&item);
    }
    const std::vector<const PageItem*> none;

    for (size_t i = 0; i < segments.size(); ++i) {
        const TemplateSegment& segment = segments[i];
        if (segment.depth > 0 && !rendered[i]) {
            continue;  // never rendered
        }
        // The items this segment renders with: none for the text outside the
        // blocks, which renders once.
        auto named = items_named.find(segment.block_name.view());
        const std::vector<const PageItem*>& items = segment.depth > 0 ? named->second : none;
        BaseString own_macros = u"%%" + segment.block_name + u".";
        std::set<BaseString> item_links;
        for (const HtmlAttributeValue& link :
             FindTagAttributes(segment.text.view(), {u"a", u"area"}, u"href")) {
            // The page has the macros' values in the attribute, and the
            // browser reads character references in the whole of it.
            BaseString written(link.raw);
            auto url = [&](const Ref<Xml::Element>& element) {
                return ReplaceCharacterReferences(builder.Substitute(written, element).view());
            };
            // A link made from an item's attributes is that item's: it is found
            // at the item.
            if (!items.empty() && written.Find(own_macros.view()) != BaseString::npos) {
                if (!item_links.insert(written).second) {
                    continue;  // written alike before: the same at every item
                }
                for (const PageItem* item : items) {
                    links.Check(url(item->element), kDataFileName,
                                medium.DataPosition(item->element));
                }
            } else {
                links.Check(url(items.empty() ? Ref<Xml::Element>() : items[0]->element),
                            kTemplateFileName, medium.TemplatePosition(segment.start + link.at));
            }
        }
    }

    // Elements bound to page extensions: those of the items that render.
    const PageItem* first_bound = nullptr;
    for (const PageItem& item : medium.items()) {
        BaseString clsid = item.element->attribute(BaseString(u"visibility"), BaseString());
        if (clsid.empty() || blocks.Find(item.name).own.empty()) {
            continue;
        }
        first_bound = first_bound ? first_bound : &item;
        if (!IsServed(clsid)) {
            findings.Warning(kDataFileName, medium.DataPosition(item.element),
                             u"visibility " + Quoted(clsid.view()) + u": " + kNotServed +
                                 u", so the element stays hidden");
        }
    }
    if (first_bound && !PageDefinesSetObjectVisibility(medium)) {
        findings.Warning(kDataFileName, medium.DataPosition(first_bound->element),
                         BaseString(u"elements are bound to page extensions, but ") +
                             kTemplateFileName +
                             u" defines no function SetObjectVisibility: they are always shown");
    }
}
