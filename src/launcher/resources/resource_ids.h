#pragma once

// Identifiers of the launcher's resources, shared by the resource scripts and
// the code.

// The dialog template and its check box belong to the window.
#include "launcher/window/dialog_resources.h"

// The application icon (RT_GROUP_ICON): the executable's icon in the shell.
#define IDI_LAUNCHER 1

// The text AutoPlay shows for the launcher (RT_STRING): autorun.inf names it
// as "action=@autorun.exe,-1" (scripts/lib.sh), and Windows takes the user's
// language among those of the string table.
#define IDS_AUTOPLAY_ACTION 1
