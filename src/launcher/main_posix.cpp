// The launcher's entry point. Like WinMain on Windows, it reads no arguments:
// the medium is the current directory.
#include "launcher/launcher.h"
#include "launcher/page/start_page.h"

int main() {
    return RunLauncher(BuildLauncherPage);
}
