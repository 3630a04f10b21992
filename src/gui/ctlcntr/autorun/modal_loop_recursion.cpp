#include "gui/ctlcntr/autorun/modal_loop_recursion.h"

#include "mt/current_thread.h"
#include "object/impl.h"

namespace {

constexpr char16_t kSlot[] = u"TID_ModalLoopRecurseControl";

class RecursionCounter : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_ModalLoopRecurseControl"};
    using Parent = BaseFace;

    virtual int32_t& Count() = 0;
};

class ModalLoopRecurseControl final
    : public Object::Impl<ModalLoopRecurseControl, RecursionCounter> {
public:
    int32_t& Count() override { return count_; }

private:
    int32_t count_ = 0;
};

}  // namespace

int32_t& ModalLoopRecursion() {
    Ref<Mt::CurrentThread> thread = Mt::GetCurrentThread();
    Ref<RecursionCounter> control = SoftCast<RecursionCounter>(thread->GetSlot(kSlot).GetFace());
    if (!control) {
        control = Object::New<ModalLoopRecurseControl>();
        thread->SetSlot(kSlot, Value(control));
    }
    // The slot keeps the object, and so the counter, for the thread's life.
    return control->Count();
}
