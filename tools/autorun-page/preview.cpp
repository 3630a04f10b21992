#include "preview.h"

#include <algorithm>
#include <cstdio>

#include "error/error.h"
#include "error/languages.h"
#include "io/file_messages.h"
#include "io/file_system.h"
#include "launcher/page/page_language.h"
#include "nls/language_choice.h"
#include "object/manager.h"
#include "xml/node.h"
#include "xml/reader.h"

namespace {

// "0407-de.png" with the tag of the launcher's languages; any other language is
// named by its number alone.
std::string PictureName(uint32_t language) {
    char number[8];
    std::snprintf(number, sizeof number, "%04x", language);
    for (const ProductLanguage& entry : kProductLanguages) {
        if (entry.id == language) {
            return std::string(number) + "-" + entry.tag + ".png";
        }
    }
    return std::string(number) + ".png";
}

// The languages of the translations section, where the launcher looks for it:
// the first child of the root element. Its elements are named "L%04x".
std::vector<uint32_t> TranslatedLanguages(const Ref<Xml::Document>& document) {
    std::vector<uint32_t> languages;
    Ref<Xml::Element> root = document->rootElement();
    std::vector<Ref<Xml::Node>> sections = root ? root->children() : std::vector<Ref<Xml::Node>>();
    if (sections.empty() || sections.front()->value() != u"translations") {
        return languages;
    }
    Ref<Xml::ParentNode> translations = SoftCast<Xml::ParentNode>(sections.front());
    for (const Ref<Xml::Node>& child :
         translations ? translations->children() : std::vector<Ref<Xml::Node>>()) {
        BaseString name = child->value();
        if (child->kind() != Xml::kElementKind || name.length() != 5 || name.view()[0] != u'L') {
            continue;
        }
        uint32_t language = Nls::ParseLanguageId(name.view().substr(1));
        if (language != 0 &&
            std::find(languages.begin(), languages.end(), language) == languages.end()) {
            languages.push_back(language);
        }
    }
    return languages;
}

std::string HtmlText(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

}  // namespace

void CreateFolders(const std::filesystem::path& folder) {
    std::filesystem::path partial;
    for (const std::filesystem::path& part : folder) {
        partial /= part;
        std::u8string text = partial.u8string();
        BaseString path = BaseString::FromUtf8(
            std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
        if (!std::filesystem::exists(partial) && !Io::FileSystem::CreateFolder(path)) {
            throw Error::FromFile(Io::CannotCreateFolderText, path);
        }
    }
}

std::vector<PreviewPicture> PreviewPictures() {
    Ref<Xml::Reader> reader = Object::Create<Xml::Reader>(BaseString(Xml::kReaderClsid));
    std::vector<uint32_t> languages =
        TranslatedLanguages(reader->readFile(BaseString(u"autorun.xml")));
    uint32_t current = CurrentPageLanguage();
    std::vector<PreviewPicture> pictures;
    for (uint32_t language : languages) {
        pictures.push_back({language, PictureName(language), language == current});
    }
    if (std::find(languages.begin(), languages.end(), current) == languages.end()) {
        pictures.push_back({current, PictureName(current), true});
    }
    return pictures;
}

std::string PreviewIndex(const std::vector<PreviewPicture>& pictures) {
    std::string page =
        "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
        "<title>Page preview</title>\n<style>\n"
        "body { margin: 16px; background: #e8e8e8; font: 14px sans-serif; }\n"
        ".pages { display: flex; flex-wrap: wrap; gap: 16px; }\n"
        "figure { margin: 0; }\n"
        "img { display: block; border: 1px solid #888; }\n"
        "figcaption { margin-top: 4px; }\n"
        "</style>\n</head>\n<body>\n<div class=\"pages\">\n";
    for (const PreviewPicture& picture : pictures) {
        std::string caption = picture.file.substr(0, picture.file.size() - 4);
        if (picture.is_default) {
            caption += " (default)";
        }
        page += "<figure><img src=\"" + HtmlText(picture.file) + "\" alt=\"" + HtmlText(caption) +
                "\"><figcaption>" + HtmlText(caption) + "</figcaption></figure>\n";
    }
    return page + "</div>\n</body>\n</html>\n";
}
