#pragma once

#include "base/string.h"
#include "object/base_face.h"

// What the test plug-ins serve, and how they show that they were loaded.
class Probe : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Test::Probe"};
    using Parent = BaseFace;

    // The name of the plug-in that made it, or the name it was created under.
    virtual BaseString Name() = 0;
};

// A Probe named after its plug-in.
inline constexpr char16_t kProbeClsid[] = u"CID_Test::Probe";
// A class whose constructor throws "probe-refused(42)" under the module tag "probe".
inline constexpr char16_t kRefusingClsid[] = u"CID_Test::RefusingProbe";
// The key of a dynamic factory: "CID_Test::Echo|<name>" is a Probe named <name>.
inline constexpr char16_t kEchoKey[] = u"CID_Test::Echo";

// The file in which the test plug-ins leave lines "<plug-in> <event>": "loaded"
// and "unloaded" when the file is mapped and unmapped, "started" when the
// runtime runs its start-up list, "created <name>" when that creates a Probe.
inline constexpr char kMarksVariable[] = "ORV_TEST_PLUGIN_MARKS";
