#pragma once

#include <cstdint>

#include "base/platform.h"
#include "error/error.h"
#include "object/ref.h"

namespace Gui {

// A page-extension component, supplied by a plug-in library: "invoke:" links
// run it, and it decides whether the page element bound to it is shown.
class PropertySheetExtension : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Gui::PropertySheetExtension"};
    using Parent = BaseFace;

    // Runs the extension; its own windows belong to `owner`.
    virtual void Execute(WindowHandle owner) = 0;
    // Whether the bound element is shown: only the low 8 bits count.
    virtual uint32_t IsVisible() = 0;
};

}  // namespace Gui
