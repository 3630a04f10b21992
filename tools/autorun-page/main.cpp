// autorun-page: prints the page the launcher would show from a medium's folder,
// or checks the medium.
//
//   autorun-page [--lang XXXX] [--visibility [--assume CLASS=shown|hidden]...] [DIR]
//   autorun-page --check [DIR]
//   autorun-page --preview OUTDIR [--assume CLASS=shown|hidden]... [DIR]
//   autorun-page --version
//
// DIR (default: the current directory) stands for the launcher's current
// directory. --lang chooses the language as the registry value LangId would.
// --visibility prints the elements bound to page extensions instead of the page,
// each with the plug-in library of the medium that serves its class (for a
// class the medium declares in rsc/extensions.xml: the declaration's line).
// --assume has the elements bound to the class shown or hidden, whatever
// serves it.
// --check prints every mistake found in the medium, one line each.
// --preview saves pictures of the page as the launcher shows it, one per
// language, and an index.html of them in OUTDIR (preview.h).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "base/format.h"
#include "base/platform.h"
#include "check/check.h"
#include "error/error.h"
#include "io/file_messages.h"
#include "io/path_factory.h"
#include "launcher/page/extension_file.h"
#include "launcher/page/medium_plugins.h"
#include "launcher/page/page_language.h"
#include "launcher/page/property_sheet_extension.h"
#include "launcher/page/start_page.h"
#include "launcher/texts.h"
#include "nls/language_choice.h"
#include "object/system.h"
#include "preview.h"

namespace {

constexpr char kUsage[] =
    "usage: autorun-page [--lang XXXX] [--visibility [--assume CLASS=shown|hidden]...] [DIR]\n"
    "       autorun-page --check [DIR]\n"
    "       autorun-page --preview OUTDIR [--assume CLASS=shown|hidden]... [DIR]\n"
    "       autorun-page --version\n";

// What the tool does with the medium.
enum class Mode { kPage, kVisibility, kCheck, kPreview };

struct Options {
    Mode mode = Mode::kPage;
    std::optional<uint32_t> language;
    std::optional<std::filesystem::path> preview;
    std::optional<std::string> folder;
    AssumedVisibility assumed;
};

// Four lower-case hexadecimal digits, read as the launcher reads LangId.
std::optional<uint32_t> ParseLanguage(std::string_view text) {
    if (text.size() != 4 || text.find_first_not_of("0123456789abcdef") != std::string_view::npos) {
        return std::nullopt;
    }
    return Nls::ParseLanguageId(BaseString::FromUtf8(text).view());
}

std::optional<Options> ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        if (argument == "--lang" && i + 1 < argc && !options.language) {
            options.language = ParseLanguage(argv[++i]);
            if (!options.language) {
                return std::nullopt;
            }
        } else if (argument == "--visibility" && options.mode == Mode::kPage) {
            options.mode = Mode::kVisibility;
        } else if (argument == "--check" && options.mode == Mode::kPage) {
            options.mode = Mode::kCheck;
        } else if (argument == "--preview" && i + 1 < argc && options.mode == Mode::kPage) {
            options.mode = Mode::kPreview;
            // The folder as the caller means it, before DIR becomes current.
            options.preview = std::filesystem::absolute(argv[++i]);
        } else if (argument == "--assume" && i + 1 < argc) {
            if (!ParseAssumption(argv[++i], options.assumed)) {
                return std::nullopt;
            }
        } else if (!argument.starts_with("-") && !options.folder) {
            options.folder = std::string(argument);
        } else {
            return std::nullopt;
        }
    }
    // The check and the preview read the medium in every language.
    if ((options.mode == Mode::kCheck || options.mode == Mode::kPreview) && options.language) {
        return std::nullopt;
    }
    // Assumptions stand for page extensions: the page itself shows every element.
    if (!options.assumed.empty() && options.mode != Mode::kVisibility &&
        options.mode != Mode::kPreview) {
        return std::nullopt;
    }
    return options;
}

constexpr std::u16string_view kLauncherName =
    Base::kPathSeparator == u'\\' ? u"autorun.exe" : u"autorun";

// The launcher that sits beside this tool: the path macros name it.
BaseString LauncherPath() {
    return BaseString(Base::FolderOf(Base::ExecutablePath())) + kLauncherName;
}

// The launcher as it lies on the medium in the current directory.
BaseString LauncherOnMedium() {
    return Io::Fs::PathFromName(BaseString(kLauncherName))->text();
}

void Write(FILE* stream, std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
}

// The pictures and their index in the folder; the index's path on standard
// output. The page has been built once in the default language, so a broken
// medium has already said so.
int WritePreview(const std::filesystem::path& folder, const AssumedVisibility& assumed) {
    std::vector<PreviewPicture> pictures = PreviewPictures();
    if (!TakePreviewPictures(pictures, folder.string(), assumed)) {
        return 1;
    }
    std::filesystem::path index = folder / "index.html";
    std::ofstream file(index, std::ios::binary);
    file << PreviewIndex(pictures);
    file.close();
    if (!file) {
        Write(stderr, index.string() + " could not be written.\n");
        return 1;
    }
    Write(stdout, index.string() + "\n");
    return 0;
}

// A plug-in file's name without its folder and suffix.
std::u16string_view PluginName(std::u16string_view file) {
    size_t slash = file.find_last_of(u"/\\");
    std::u16string_view name = slash == file.npos ? file : file.substr(slash + 1);
    return name.substr(0, name.find(u'.'));
}

// The lines of the medium's declarations by class; none when the file is
// missing or cannot be read (--check tells why).
std::map<BaseString, int32_t> DeclarationLines() {
    std::map<BaseString, int32_t> lines;
    try {
        Xml::NodePositions positions;
        if (Ref<Xml::Document> document = ReadExtensionFile(&positions)) {
            for (const ExtensionDeclaration& declaration :
                 ReadExtensionDeclarations(document, nullptr)) {
                lines[declaration.clsid] =
                    positions.Find(declaration.element).value_or(Xml::TextPosition{1, 1}).line;
            }
        }
    } catch (const Error&) {
    }
    return lines;
}

// What decides the visibility of the class's elements: an assumption, the
// declaration the standard plug-in serves, the plug-in file whose page
// extension the launcher would create, or "not served".
BaseString ServedBy(const MediumPlugins& plugins, const std::map<BaseString, int32_t>& declared,
                    const AssumedVisibility& assumed, const BaseString& clsid) {
    if (auto assumption = assumed.find(clsid); assumption != assumed.end()) {
        return BaseString(assumption->second ? u"assumed shown" : u"assumed hidden");
    }
    std::optional<MediumPlugins::Served> served = plugins.FindClass(clsid);
    if (!served || !served->record.Implements(BaseString(Gui::PropertySheetExtension::kIid.text))) {
        return BaseString(u"not served");
    }
    auto declaration = declared.find(clsid);
    if (declaration != declared.end() &&
        PluginName(served->file.view()) == kDeclaredExtensionsPlugin) {
        return BaseString(kExtensionFileName) + u":" +
               BaseString::FromUtf8(std::to_string(declaration->second));
    }
    return served->file;
}

int BuildAndPrint(const Options& options) {
    if (options.folder) {
        BaseString folder = BaseString::FromUtf8(*options.folder);
        if (!Base::ChangeDirectory(folder)) {
            throw Error::FromFile(Io::CannotAccessFolderText, folder);
        }
    }
    if (options.mode == Mode::kCheck) {
        // The page extensions of the medium's plug-ins are served, as in the launcher.
        MediumPlugins plugins = MediumPlugins::Load();
        bool has_error = false;
        Write(stdout, CheckMedium(LauncherOnMedium(), has_error));
        return has_error ? 1 : 0;
    }
    if (options.language) {
        MakeLanguageCurrentAsLangId(*options.language);
    }
    // Only the bindings need the plug-ins; the launcher loads them before the page.
    std::optional<MediumPlugins> plugins;
    if (options.mode == Mode::kVisibility) {
        plugins = MediumPlugins::Load();
    }
    std::unique_ptr<StartPage> page = StartPage::Build(LauncherPath());
    if (options.mode == Mode::kPreview) {
        return WritePreview(*options.preview, options.assumed);
    }
    if (plugins) {
        std::map<BaseString, int32_t> declared = DeclarationLines();
        for (const auto& [id, clsid] : page->visibility()) {
            BaseString line = id + u"\t" + clsid.view() + u"\t" +
                              ServedBy(*plugins, declared, options.assumed, clsid).view();
            Write(stdout, (line + u"\n").ToUtf8());
        }
    } else {
        Write(stdout, page->text().ToUtf8());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Base::SetStandardStreamsBinary();
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        Write(stdout, "autorun-page " ORV_VERSION "\n");
        return 0;
    }
    std::optional<Options> options = ParseOptions(argc, argv);
    if (!options) {
        Write(stderr, kUsage);
        return 2;
    }
    try {
        Object::ModuleStart();
        return BuildAndPrint(*options);
    } catch (Error& error) {
        error.Add(ErrContext, BaseString(LocalizedText(InitFailedText)), false);
        Write(stderr, error.GetText().ToUtf8() + "\n");
        return 1;
    }
}
