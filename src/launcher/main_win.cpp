// The launcher's entry point on Windows. It reads none of its arguments: the
// medium is the current directory.
#include "base/win.h"
#include "launcher/critical_error_boxes_win.h"
#include "launcher/launcher.h"
#include "launcher/page/start_page.h"
#include "object/library_search_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    SwitchOffCriticalErrorBoxes();
    // Before anything loads a library by name.
    Object::RestrictLibrarySearch();
    return RunLauncher(BuildLauncherPage);
}
