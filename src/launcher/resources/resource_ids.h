#pragma once

// Identifiers of the launcher's resources, shared by the resource scripts and
// the code.

// The dialog template and its check box belong to the window.
#include "launcher/window/dialog_resources.h"

// The application icon (RT_GROUP_ICON): the executable's icon in the shell.
#define IDI_LAUNCHER 1
