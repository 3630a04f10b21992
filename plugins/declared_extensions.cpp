// Page extensions declared in the medium's rsc/extensions.xml: the file is
// read once, when the library is loaded in the medium's folder, and every
// class it declares is served. A medium without the file gets none.
#include <variant>

#include "base/platform.h"
#include "error/error.h"
#include "io/file_messages.h"
#include "io/file_system.h"
#include "launcher/commands/close_menu.h"
#include "launcher/commands/shell_open.h"
#include "launcher/commands/start_program.h"
#include "launcher/page/extension_condition.h"
#include "launcher/page/extension_file.h"
#include "launcher/page/property_sheet_extension.h"
#include "launcher/texts.h"
#include "object/factory.h"

namespace {

// A scheme of two characters or more ("https:", "mailto:"); one letter and a
// colon is a Windows drive.
bool IsAddress(std::u16string_view target) {
    size_t colon = target.find(u':');
    if (colon == target.npos || colon < 2) {
        return false;
    }
    for (size_t i = 0; i < colon; ++i) {
        char16_t c = target[i];
        bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        bool other = i > 0 && ((c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.');
        if (!letter && !other) {
            return false;
        }
    }
    return true;
}

// The error of a path that cannot be opened or started, with the system's
// reason `code`.
Error CannotOpen(const BaseString& path, uint32_t code) {
    Base::SetLastError(code);
    return Error::FromFile(Io::CannotOpenFileText, path);
}

BaseString ResolveOrThrow(const BaseString& path) {
    std::optional<BaseString> resolved = ResolveDeclaredPath(path);
    if (!resolved) {
        throw CannotOpen(path, 2);
    }
    return *resolved;
}

class DeclaredExtension final
    : public Object::Impl<DeclaredExtension, Gui::PropertySheetExtension> {
public:
    explicit DeclaredExtension(const ExtensionDeclaration& declaration)
        : declaration_(declaration) {}

    uint32_t IsVisible() override {
        return !declaration_.shown_when || ConditionHolds(*declaration_.shown_when) ? 1 : 0;
    }

    void Execute(WindowHandle owner) override {
        std::visit([owner](const auto& action) { Run(action, owner); }, declaration_.action);
    }

private:
    static void Run(const std::monostate&, WindowHandle) {}

    static void Run(const OpenAction& open, WindowHandle owner) {
        if (IsAddress(open.target.view())) {
            ShellOpen(open.target, owner);
            return;
        }
        BaseString path = ResolveOrThrow(open.target);
        if (Io::FileSystem::GetEntryKind(path) == Io::FileSystem::EntryKind::kNone) {
            throw CannotOpen(path, Base::LastError());
        }
        ShellOpen(path, owner);
    }

    static void Run(const RunAction& run, WindowHandle owner) {
        BaseString program = ResolveOrThrow(run.program);
        uint32_t result = StartProgram(program, run.arguments, run.elevated, owner);
        if (result == kStartCancelled) {
            return;
        }
        if (result != 0) {
            throw CannotOpen(program, result);
        }
        if (run.close_menu) {
            CloseMenu(owner);
        }
    }

    static void Run(const BrokenAction&, WindowHandle) {
        throw Error(ErrBadFormat, BaseString(LocalizedText(DataFormatText)), true);
    }

    ExtensionDeclaration declaration_;
};

// Serves the declarations of the medium in the current directory, read when
// the library is first asked.
class DeclaredClasses {
public:
    void Describe(std::vector<Object::ClassRecord>& records) {
        for (const ExtensionDeclaration& declaration : Declarations()) {
            records.push_back({declaration.clsid, DeclaredExtension::InterfaceIds()});
        }
    }

    Ref<BaseFace> Create(const BaseString& clsid) {
        for (const ExtensionDeclaration& declaration : Declarations()) {
            if (declaration.clsid == clsid) {
                return Ref<BaseFace>::Adopt(AsBaseFace(new DeclaredExtension(declaration)));
            }
        }
        return {};
    }

private:
    const std::vector<ExtensionDeclaration>& Declarations() {
        if (!declarations_) {
            declarations_ = LoadMediumExtensions();
        }
        return *declarations_;
    }

    std::optional<std::vector<ExtensionDeclaration>> declarations_;
};

Object::FactoryRegistration registration{Object::New<Object::FactoryImpl<DeclaredClasses>>()};

}  // namespace
