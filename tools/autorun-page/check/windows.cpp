// What Windows' web-browser control shows differently from WebKitGTK, as far
// as the page's text tells: its document mode, and what Internet Explorer 11,
// its newest engine, does not take of the page's styles, pictures and scripts.
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "check/checks.h"
#include "check/web_scan.h"
#include "launcher/page/head_declarations.h"
#include "launcher/page/html_scan.h"
#include "launcher/page/start_page.h"

namespace {

// Internet Explorer's newest document mode: the one "IE=edge" names.
constexpr int kNewestMode = 11;
// The control's own without a declaration it takes.
constexpr int kDefaultMode = 7;

constexpr char16_t kEngine[] = u"Windows' engine (Internet Explorer 11)";

BaseString Quoted(std::u16string_view text) {
    return u"\"" + BaseString(text) + u"\"";
}

BaseString Number(int value) {
    return BaseString::FromUtf8(std::to_string(value));
}

// A file of the medium that the page loads.
struct MediumFile {
    BaseString path;  // relative to the medium's folder
    BaseString text;
};

// The medium's file at an address of the page, unless it cannot be read.
// Addresses of other places are not looked at; those the launcher's "%%dir"
// starts are the medium's.
std::optional<MediumFile> ReadMediumFile(const BaseString& address) {
    constexpr std::u16string_view kFromLauncherFolder = u"file:///%%dir/";
    std::u16string_view path = address.view();
    if (path.starts_with(kFromLauncherFolder)) {
        path.remove_prefix(kFromLauncherFolder.size());
    }
    if (path.empty() || path.find(u':') != std::u16string_view::npos || path.starts_with(u'/') ||
        path.starts_with(u'\\')) {
        return std::nullopt;
    }
    std::ifstream in(BaseString(path).ToUtf8(), std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return MediumFile{BaseString(path), BaseString::FromUtf8(bytes)};
}

// The document mode an X-UA-Compatible value asks for: the highest of its
// "IE=..." entries ("edge" the newest); none when it names none.
std::optional<int> DeclaredMode(std::u16string_view value) {
    std::optional<int> mode;
    size_t start = 0;
    while (start <= value.size()) {
        size_t end = value.find_first_of(u";,", start);
        std::u16string_view entry = value.substr(start, end - start);
        while (!entry.empty() && entry.front() == u' ') {
            entry.remove_prefix(1);
        }
        if (entry.size() > 3 && SameIgnoringAsciiCase(entry.substr(0, 3), u"IE=")) {
            std::u16string_view name = entry.substr(3);
            if (SameIgnoringAsciiCase(name.substr(0, 4), u"edge")) {
                return kNewestMode;
            }
            if (SameIgnoringAsciiCase(name.substr(0, 9), u"EmulateIE")) {
                name.remove_prefix(9);
            }
            int number = 0;
            size_t digits = 0;
            for (;
                 digits < name.size() && digits < 3 && name[digits] >= u'0' && name[digits] <= u'9';
                 ++digits) {
                number = number * 10 + (name[digits] - u'0');
            }
            if (digits > 0 && (!mode || number > *mode)) {
                mode = number;
            }
        }
        if (end == std::u16string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return mode;
}

class WindowsCheck {
public:
    WindowsCheck(const Medium& medium, Findings& findings)
        : medium_(medium),
          page_(medium.template_text().view()),
          tags_(ScanHtmlTags(page_)),
          findings_(findings) {}

    void Run() {
        CheckDocumentMode();
        CheckStyles();
        CheckPictures();
        CheckScripts();
    }

private:
    void AtTemplate(size_t offset, BaseString message) {
        findings_.Warning(kTemplateFileName, medium_.TemplatePosition(offset), std::move(message));
    }

    // Without a doctype the page is in quirks mode; a declaration of an older
    // mode, or one the control does not read, takes the newest away.
    void CheckDocumentMode() {
        bool whole_page = false;
        for (const HtmlTag& tag : tags_) {
            whole_page = whole_page || tag.Is(u"html") || tag.Is(u"head") || tag.Is(u"body");
        }
        if (whole_page && !tags_.empty() && !tags_.front().Is(u"!DOCTYPE")) {
            AtTemplate(tags_.front().at,
                       u"the page does not start with \"<!DOCTYPE html>\": Windows shows it in "
                       u"the quirks mode of old Internet Explorer, in other sizes and without "
                       u"newer styles");
        }
        const HtmlTag* first_element = nullptr;
        for (const HtmlTag& tag : tags_) {
            if (IsDocumentModeDeclaration(tag)) {
                CheckModeDeclaration(tag, first_element);
            } else if (!first_element && !tag.name.starts_with(u'!') &&
                       !tag.name.starts_with(u'/') && !tag.Is(u"html") && !tag.Is(u"head") &&
                       !tag.Is(u"title") && !tag.Is(u"meta")) {
                first_element = &tag;
            }
        }
    }

    void CheckModeDeclaration(const HtmlTag& tag, const HtmlTag* earlier_element) {
        BaseString value = tag.Attribute(u"content").value_or(BaseString());
        BaseString declared = u"X-UA-Compatible " + Quoted(value.view());
        BaseString as_before = u"Windows shows the page as Internet Explorer " +
                               Number(kDefaultMode) + u" did (\"IE=edge\": the newest mode)";
        if (earlier_element) {
            AtTemplate(tag.at, declared + u" comes after <" + BaseString(earlier_element->name) +
                                   u">, where Windows does not read it (only title and meta may "
                                   u"come before): " +
                                   as_before);
            return;
        }
        std::optional<int> mode = DeclaredMode(value.view());
        if (!mode) {
            AtTemplate(tag.at, declared + u" names no document mode: " + as_before);
        } else if (*mode < kNewestMode) {
            AtTemplate(tag.at, declared + u": Windows shows the page as Internet Explorer " +
                                   Number(*mode) + u" did (\"IE=edge\": the newest mode)");
        }
    }

    // The page's style sheets: those of the medium it links, its style
    // elements and style attributes.
    void CheckStyles() {
        for (const HtmlTag& tag : tags_) {
            if (tag.Is(u"link") &&
                SameIgnoringAsciiCase(tag.Attribute(u"rel").value_or(BaseString()).view(),
                                      u"stylesheet")) {
                if (std::optional<MediumFile> sheet =
                        ReadMediumFile(tag.Attribute(u"href").value_or(BaseString()))) {
                    TextLines lines(sheet->text.view());
                    CheckStyleSheet(sheet->text, false, [&](size_t at, BaseString message) {
                        findings_.Warning(sheet->path.view(), lines.At(at), std::move(message));
                    });
                }
            } else if (tag.Is(u"style")) {
                size_t end = page_.find(u"</", tag.end);
                std::u16string_view sheet = page_.substr(tag.end, end - tag.end);
                CheckStyleSheet(BaseString(sheet), false, [&](size_t at, BaseString message) {
                    AtTemplate(tag.end + at, std::move(message));
                });
            }
            for (const auto& [name, value] : tag.attributes) {
                if (SameIgnoringAsciiCase(name, u"style")) {
                    CheckStyleSheet(BaseString(value.raw), true,
                                    [&](size_t at, BaseString message) {
                                        AtTemplate(value.at + at, std::move(message));
                                    });
                }
            }
        }
        CheckMainElement();
    }

    template <typename Report>
    void CheckStyleSheet(const BaseString& sheet, bool attribute, Report report) {
        for (const CssDeclaration& declaration : ScanCss(sheet.view(), attribute)) {
            std::u16string_view property = declaration.property;
            std::u16string_view value = declaration.value;
            if (RuleStylesMain(declaration.rule) && property == u"display") {
                main_styled_ = true;
            }
            BaseString written = Quoted((BaseString(property) + u": " + BaseString(value)).view());
            if (property == u"gap" || property == u"row-gap" || property == u"column-gap" ||
                property == u"grid-gap") {
                report(declaration.at, written + u": " + kEngine +
                                           u" puts no gaps between flex items: use margins");
            } else if (property == u"display" && (value == u"grid" || value == u"inline-grid")) {
                report(declaration.at, written + u": " + kEngine +
                                           u" has no grid layout (only an older one of its own)");
            } else if (property == u"position" && value == u"sticky") {
                report(declaration.at,
                       written + u": " + kEngine + u" keeps no element in place as it scrolls");
            } else if (property == u"object-fit") {
                report(declaration.at,
                       written + u": " + kEngine + u" does not fit pictures into their box");
            } else if (value.find(u"var(") != std::u16string_view::npos) {
                report(declaration.at, written + u": " + kEngine +
                                           u" has no custom properties and drops the "
                                           u"declaration");
            }
        }
    }

    // A rule whose selector is the main element, in one of its selectors'
    // last part ("main", "body > main.menu").
    static bool RuleStylesMain(std::u16string_view rule) {
        size_t start = 0;
        while (start <= rule.size()) {
            size_t end = rule.find(u',', start);
            std::u16string_view selector = rule.substr(start, end - start);
            while (!selector.empty() && selector.back() == u' ') {
                selector.remove_suffix(1);
            }
            size_t last = selector.find_last_of(u" >+~");
            std::u16string_view part = selector.substr(last == selector.npos ? 0 : last + 1);
            if (part.starts_with(u"main") &&
                (part.size() == 4 || std::u16string_view(u".#:[").find(part[4]) != part.npos)) {
                return true;
            }
            if (end == std::u16string_view::npos) {
                break;
            }
            start = end + 1;
        }
        return false;
    }

    // Internet Explorer 11 does not know the main element: it is inline there
    // unless a style sheet says otherwise.
    void CheckMainElement() {
        if (main_styled_) {
            return;
        }
        for (const HtmlTag& tag : tags_) {
            if (tag.Is(u"main")) {
                AtTemplate(tag.at, BaseString(kEngine) +
                                       u" does not know the main element and shows it inline: "
                                       u"give it \"display: block\" in the style sheet");
                return;
            }
        }
    }

    void CheckPictures() {
        for (const HtmlTag& tag : tags_) {
            if (!tag.Is(u"img")) {
                continue;
            }
            for (const auto& [name, value] : tag.attributes) {
                BaseString address = ReplaceCharacterReferences(value.raw);
                std::u16string_view path =
                    address.view().substr(0, address.view().find_first_of(u"?#"));
                size_t dot = path.rfind(u'.');
                std::u16string_view extension =
                    dot == std::u16string_view::npos ? std::u16string_view() : path.substr(dot + 1);
                if (SameIgnoringAsciiCase(name, u"src") &&
                    (SameIgnoringAsciiCase(extension, u"webp") ||
                     SameIgnoringAsciiCase(extension, u"avif"))) {
                    AtTemplate(value.at, u"picture " + Quoted(address.view()) + u": " + kEngine +
                                             u" shows no WebP or AVIF pictures: use PNG, JPEG, "
                                             u"GIF or SVG");
                }
            }
        }
    }

    // A script with syntax the engine does not take does not run at all.
    void CheckScripts() {
        for (const HtmlTag& tag : tags_) {
            if (!tag.Is(u"script")) {
                continue;
            }
            if (std::optional<BaseString> source = tag.Attribute(u"src")) {
                if (std::optional<MediumFile> script = ReadMediumFile(*source)) {
                    TextLines lines(script->text.view());
                    CheckScript(script->text, [&](size_t at, BaseString message) {
                        findings_.Warning(script->path.view(), lines.At(at), std::move(message));
                    });
                }
                continue;
            }
            size_t end = page_.find(u"</script", tag.end);
            CheckScript(BaseString(page_.substr(tag.end, end - tag.end)),
                        [&](size_t at, BaseString message) {
                            AtTemplate(tag.end + at, std::move(message));
                        });
        }
    }

    template <typename Report>
    void CheckScript(const BaseString& script, Report report) {
        for (const NewerScriptSyntax& syntax : FindNewerScriptSyntax(script.view())) {
            BaseString what = syntax.kind == NewerScriptSyntax::Kind::kArrowFunction
                                  ? BaseString(u"an arrow function (\"=>\")")
                                  : BaseString(u"a template literal (\"`\")");
            report(syntax.at, BaseString(kEngine) + u" cannot run " + what +
                                  u": on Windows none of this script runs, "
                                  u"SetObjectVisibility included");
        }
    }

    const Medium& medium_;
    std::u16string_view page_;
    std::vector<HtmlTag> tags_;
    Findings& findings_;
    bool main_styled_ = false;
};

}  // namespace

void CheckWindows(const Medium& medium, Findings& findings) {
    if (medium.has_template()) {
        WindowsCheck(medium, findings).Run();
    }
}
