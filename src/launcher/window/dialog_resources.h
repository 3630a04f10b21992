#pragma once

// The launcher dialog's template (RT_DIALOG, one per language) and its check
// box, shared by the resource script and the window code.
#define IDD_LAUNCHER 132
#define IDC_SHOW_ON_STARTUP 1027
