#pragma once

#include <cstdint>
#include <memory>

#include "base/string.h"
#include "io/file.h"
#include "launcher/page/page_builder.h"
#include "object/ref.h"
#include "xml/node.h"
#include "xml/reader.h"

// The finished page and the components bound to its elements. The object also
// holds what built the page (open files, documents) until the run ends.
class LauncherPage {
public:
    virtual ~LauncherPage() = default;
    virtual const BaseString& text() const = 0;
    virtual const VisibilityMap& visibility() const = 0;
};

// The medium's files, relative to the launcher's current directory.
inline constexpr char16_t kTemplateFileName[] = u"rsc/autorun.tpl";
inline constexpr char16_t kDataFileName[] = u"autorun.xml";

// Opens the template file and reads its text (UTF-8, up to a zero byte); the
// file stays open in `file`. Throws Error.
BaseString ReadTemplateFile(Ref<Io::File>& file);

// Reads the medium's files and builds the page; throws Error on failure.
using PageSource = std::unique_ptr<LauncherPage> (*)();

// The page the launcher shows, built from the medium's two files in the current
// directory, "rsc/autorun.tpl" and "autorun.xml", together with everything the
// launcher holds while the page is shown: the template file stays open, and the
// reader, the data document and the builder live until the run ends. Members
// are released in the reverse order of their acquisition.
class StartPage final : public LauncherPage {
public:
    // Reads the template and the data file and builds the page in the current
    // language; the executable path feeds the path macros. Throws Error.
    static std::unique_ptr<StartPage> Build(const BaseString& executable_path);

    const BaseString& text() const override { return page_; }
    const VisibilityMap& visibility() const override { return visibility_; }

private:
    StartPage() = default;

    BaseString template_text_;
    Ref<Io::File> template_file_;
    Ref<Xml::Reader> reader_;
    Ref<Xml::Document> document_;
    std::unique_ptr<PageBuilder> builder_;
    VisibilityMap visibility_;
    BaseString page_;
};

// The launcher's page: the medium in the current directory, the launcher's own
// executable for the path macros.
std::unique_ptr<LauncherPage> BuildLauncherPage();
