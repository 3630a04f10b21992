#pragma once

// The common controls of the executable's manifest, for the launcher's dialog.
// A failure is not an error: without the manifest's activation context or the
// function the step is skipped.
void InitCommonControls();
