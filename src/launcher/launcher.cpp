#include "launcher/launcher.h"

#include "error/show_error.h"
#include "launcher/page_preparation.h"
#include "launcher/single_instance.h"
#include "launcher/texts.h"
#include "launcher/window/html_dialog.h"
#include "launcher/window/window_search.h"
#include "launcher/window_system_startup.h"
#include "object/system.h"

namespace {

constexpr char16_t kInstanceLockName[] = u"breltautorun";
constexpr char16_t kDialogWindowClass[] = u"#32770";

void ShowPage(const LauncherPage& page) {
    HtmlDialog dialog;
    dialog.SetPage(page.text(), page.visibility());
    dialog.RunModal(nullptr);
}

}  // namespace

int RunLauncher(PageSource build_page) {
    Object::ModuleStart();
    SingleInstanceLock instance_lock(kInstanceLockName);
    if (instance_lock.AnotherInstanceExists()) {
        BringWindowToFront(kDialogWindowClass, LocalizedText(InstanceTitleText));
        return 1;
    }
    WindowSystemStartup window_system;
    try {
        // Where the web engine loads here, the page is prepared meanwhile; a
        // failure of the engine's is the one shown, as it comes first.
        PagePreparation preparation(build_page);
        window_system.Start();
        PagePreparation::Prepared prepared = preparation.Join();
        window_system.BeforeDialog();
        ShowPage(*prepared.page);
    } catch (Error& error) {
        error.Add(ErrContext, LocalizedText(InitFailedText), false);
        ShowError(error, nullptr);
    }
    return 0;
}
