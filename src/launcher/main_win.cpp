// The launcher's entry point on Windows. It reads none of its arguments: the
// medium is the current directory.
#include "base/win.h"
#include "launcher/launcher.h"
#include "launcher/page/start_page.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return RunLauncher(BuildLauncherPage);
}
