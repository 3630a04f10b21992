#pragma once

// Identifiers of the launcher's resources, shared by the resource scripts and
// the code.

// The launcher's dialog template (RT_DIALOG), one per language, and its check
// box.
#define IDD_LAUNCHER 132
#define IDC_SHOW_ON_STARTUP 1027

// The application icon (RT_GROUP_ICON): the executable's icon in the shell.
#define IDI_LAUNCHER 1
