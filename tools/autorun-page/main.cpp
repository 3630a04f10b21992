// autorun-page: prints the page the launcher would show from a medium's folder,
// or checks the medium.
//
//   autorun-page [--lang XXXX] [--visibility] [DIR]
//   autorun-page --check [DIR]
//   autorun-page --preview OUTDIR [DIR]
//   autorun-page --version
//
// DIR (default: the current directory) stands for the launcher's current
// directory. --lang chooses the language as the registry value LangId would.
// --visibility prints the elements bound to page extensions instead of the page,
// each with the plug-in library of the medium that serves its class.
// --check prints every mistake found in the medium, one line each.
// --preview saves pictures of the page as the launcher shows it, one per
// language, and an index.html of them in OUTDIR (preview.h).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#include "base/format.h"
#include "base/platform.h"
#include "check/check.h"
#include "error/error.h"
#include "io/file_messages.h"
#include "io/path_factory.h"
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
    "usage: autorun-page [--lang XXXX] [--visibility] [DIR]\n"
    "       autorun-page --check [DIR]\n"
    "       autorun-page --preview OUTDIR [DIR]\n"
    "       autorun-page --version\n";

// What the tool does with the medium.
enum class Mode { kPage, kVisibility, kCheck, kPreview };

struct Options {
    Mode mode = Mode::kPage;
    std::optional<uint32_t> language;
    std::optional<std::filesystem::path> preview;
    std::optional<std::string> folder;
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
int WritePreview(const std::filesystem::path& folder) {
    std::vector<PreviewPicture> pictures = PreviewPictures();
    if (!TakePreviewPictures(pictures, folder.string())) {
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

// The plug-in file whose page extension the launcher would create for the
// class, or "not served".
BaseString ServedBy(const MediumPlugins& plugins, const BaseString& clsid) {
    std::optional<MediumPlugins::Served> served = plugins.FindClass(clsid);
    if (served && served->record.Implements(BaseString(Gui::PropertySheetExtension::kIid.text))) {
        return served->file;
    }
    return BaseString(u"not served");
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
        return WritePreview(*options.preview);
    }
    if (plugins) {
        for (const auto& [id, clsid] : page->visibility()) {
            BaseString line = id + u"\t" + clsid.view() + u"\t" + ServedBy(*plugins, clsid).view();
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
