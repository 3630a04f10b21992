#pragma once

#include <cstdint>

#include "base/platform.h"
#include "base/string.h"
#include "error/error.h"
#include "object/ref.h"

namespace Gui {

// The optional dialog component "CID_Gui::CommonDialogs", supplied (if at all)
// by a plug-in library; ShowError and ShowMessageBox try it first.
class CommonDialogs : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Gui::CommonDialogs"};
    using Parent = BaseFace;

    virtual void ShowError(const Error& error, WindowHandle owner) = 0;
    virtual int ShowMessageBox(WindowHandle owner, const BaseString& text,
                               const BaseString& caption, uint32_t style) = 0;
};

inline constexpr char16_t kCommonDialogsClsid[] = u"CID_Gui::CommonDialogs";

}  // namespace Gui
