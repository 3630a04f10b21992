#pragma once

// The text of the hidden child window that tells the launcher's dialog from
// other programs' dialogs of the same title; the product's other programs
// look for it too.
inline constexpr char16_t kDialogMarkerText[] = u"Dravik:HidCt564";
