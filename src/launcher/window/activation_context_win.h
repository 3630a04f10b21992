#pragma once

#include "base/win.h"

// The activation context of the executable's own manifest (its resource 1,
// which names version 6 of the common controls), active on the calling thread
// while this lives, so that the windows and controls made meanwhile come from
// the libraries the manifest names. An executable without a manifest, or a
// context that cannot be activated, leaves everything as it was.
class ManifestActivation {
public:
    ManifestActivation();
    ~ManifestActivation();
    ManifestActivation(const ManifestActivation&) = delete;
    ManifestActivation& operator=(const ManifestActivation&) = delete;

    bool active() const { return active_; }

private:
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};
