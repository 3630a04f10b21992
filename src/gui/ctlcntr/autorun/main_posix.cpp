// The launcher's entry point. Like WinMain on Windows, it reads no arguments:
// the medium is the current directory.
#include "gui/ctlcntr/autorun/launcher.h"
#include "gui/ctlcntr/autorun/start_page.h"

int main() { return RunLauncher(BuildLauncherPage); }
