#include <ole2.h>

#include "base/win.h"
#include "error/error.h"
#include "launcher/com_support.h"
#include "mt/current_thread.h"
#include "object/impl.h"

namespace ComSupport {

// OLE on top of COM: the page's drag and drop and clipboard need it. It always
// makes the thread a single-threaded apartment, which is what `flags` asks for.
int32_t PlatformInitialize(uint32_t) {
    return static_cast<int32_t>(::OleInitialize(nullptr));
}

void PlatformUninitialize() {
    ::OleUninitialize();
}

}  // namespace ComSupport

namespace {

constexpr char16_t kSlot[] = u"TID_ComSupport::Initializer";
constexpr uint32_t kApartmentThreaded = 2;

class ComRecord : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_ComSupport::Initializer"};
    using Parent = BaseFace;
};

// A positive result (COM was initialised on the thread already) counts as
// success and is balanced like any other.
class ComInitializer final : public Object::Impl<ComInitializer, ComRecord> {
public:
    ComInitializer() {
        int32_t result = ComSupport::PlatformInitialize(kApartmentThreaded);
        if (result < 0) {
            throw Error::Internal("coinit(%d) err %08x", "autorun", kApartmentThreaded, result);
        }
    }
    ~ComInitializer() { ComSupport::PlatformUninitialize(); }
};

}  // namespace

void EnsureComInitialized() {
    Ref<Mt::CurrentThread> thread = Mt::GetCurrentThread();
    if (thread->GetSlot(kSlot).IsEmpty()) {
        thread->SetSlot(kSlot, Value(Object::New<ComInitializer>()));
    }
}

void ReleaseComInitialization() {
    Mt::GetCurrentThread()->SetSlot(kSlot, Value());
}
