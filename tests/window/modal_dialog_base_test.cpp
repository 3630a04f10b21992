#include <gtest/gtest.h>

#include "launcher/window/modal_dialog_base.h"

namespace {

class TestDialog : public ModalDialogBase {
public:
    void EndModal() override {
        ++end_calls;
        // Ending may dispatch further messages; they must not end it again.
        HandleMessage(true, [] {});
    }
    using ModalDialogBase::BeginModalRun;
    using ModalDialogBase::HandleMessage;

    int end_calls = 0;
};

Error Failure() {
    return Error(0, BaseString(u"handler failed"), false);
}

TEST(ModalDialogBase, AFailureOfTheOutermostHandlerEndsTheRunOnce) {
    TestDialog dialog;
    dialog.BeginModalRun();
    int result = dialog.HandleMessage(false, []() -> int { throw Failure(); });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(dialog.PendingError().GetText(), u"handler failed");
    EXPECT_EQ(dialog.end_calls, 1);

    // The pending error keeps ending the run at every later message and is
    // never replaced.
    dialog.HandleMessage(false, [] { throw Error(0, BaseString(u"second"), false); });
    EXPECT_EQ(dialog.PendingError().GetText(), u"handler failed");
    EXPECT_EQ(dialog.end_calls, 2);
}

TEST(ModalDialogBase, AFailureInANestedHandlerIsDroppedWhileTheRunIsActive) {
    TestDialog dialog;
    dialog.BeginModalRun();
    int result = dialog.HandleMessage(false, [&] {
        dialog.HandleMessage(false, [] { throw Failure(); });
        return 7;
    });
    EXPECT_EQ(result, 7);
    EXPECT_FALSE(dialog.PendingError().IsSet());
    EXPECT_EQ(dialog.end_calls, 0);
    EXPECT_EQ(ChangeModalLoopRecursion(0), 0);
}

TEST(ModalDialogBase, WithoutARunEveryFailureIsKept) {
    TestDialog dialog;
    dialog.HandleMessage(false, [&] { dialog.HandleMessage(false, [] { throw Failure(); }); });
    EXPECT_TRUE(dialog.PendingError().IsSet());
    EXPECT_GE(dialog.end_calls, 1);
}

TEST(ModalDialogBase, AnEndMessageEndsTheRunAfterItsHandler) {
    TestDialog dialog;
    dialog.BeginModalRun();
    bool handled = false;
    dialog.HandleMessage(true, [&] { handled = true; });
    EXPECT_TRUE(handled);
    EXPECT_EQ(dialog.end_calls, 1);
    EXPECT_FALSE(dialog.PendingError().IsSet());
    dialog.HandleMessage(false, [] {});
    EXPECT_EQ(dialog.end_calls, 1);
}

}  // namespace
