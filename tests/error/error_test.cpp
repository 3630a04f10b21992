#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "base/platform.h"
#include "error/error.h"
#include "error/show_error.h"
#include "error/system_text.h"
#include "test_support.h"

namespace {

const BaseString kInitFailed(u"Failed to initialize the application.");

TEST(ErrorText, RenderingRules) {
    ScopedLanguage english(0x0409);
    struct Case {
        const char* what;
        Error error;
        std::u16string_view text;
    };
    Error internal = Error::Internal("xml-parser-syntax-name(%d:%d)", "xml", 3, 14);
    Error internal_in_context = internal;
    internal_in_context.Add(ErrContext, kInitFailed, false);
    Error plain_in_context(0, BaseString(u"Syntax error in the HTML template."), false);
    plain_in_context.Add(ErrContext, kInitFailed, false);
    Error marked_twice(5, BaseString(u"first"), true);
    marked_twice.Add(6, BaseString(u"second"), false);
    marked_twice.Add(7, BaseString(u"third"), false);
    Error empty_marked_bottom(5, BaseString(), true);
    empty_marked_bottom.Add(ErrContext, BaseString(), false);

    Case cases[] = {
        {"empty error", Error(), u""},
        {"code 0 without text", Error(0, BaseString(), false), u""},
        {"code only", Error(5, BaseString(), false), u"00000005"},
        {"user cancel", Error(ErrUserCancel, BaseString(), false),
         u"An internal error occurred (error: user-cancel)."},
        {"interrupt", Error(ErrInterrupt, BaseString(), false),
         u"An internal error occurred (error: interrupt)."},
        {"not supported", Error(ErrNotSupported, BaseString(), false),
         u"An internal error occurred (error: not-supported)."},
        {"bad format", Error(ErrBadFormat, BaseString(), false),
         u"The data have incorrect format."},
        {"internal alone", internal,
         u"An internal error occurred (xml: xml-parser-syntax-name(3:14))."},
        {"internal under context", internal_in_context,
         u"Failed to initialize the application.\nAn internal error occurred (xml: "
         u"xml-parser-syntax-name(3:14))."},
        {"unmarked frames show the top only", plain_in_context,
         u"Failed to initialize the application."},
        {"the marked frame, not the one below the top", marked_twice, u"third\nfirst"},
        {"empty top over a marked code-only frame", empty_marked_bottom, u"\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.error.GetText(), c.text) << c.what << ": " << Utf8(c.error.GetText());
    }
}

TEST(ErrorText, DetailTextComesLast) {
    Error error(0, BaseString(u"top"), false);
    error.SetDetailText(BaseString(u"detail"));
    EXPECT_EQ(error.GetText(), u"top\n\ndetail");
    Error code_zero(0, BaseString(), false);
    code_zero.SetDetailText(BaseString(u"detail"));
    EXPECT_EQ(code_zero.GetText(), u"");
}

TEST(ErrorFrames, ContextKeepsTheFirstFailuresCode) {
    Error error;
    error.Add(ErrContext, BaseString(u"alone"), false);
    EXPECT_EQ(error.CodeAt(0), ErrContext);

    Error file(ErrNotFound, BaseString(u"missing"), true);
    file.Add(ErrContext, kInitFailed, false);
    EXPECT_EQ(file.CodeAt(0), ErrNotFound);
    EXPECT_EQ(file.CodeAt(1), ErrNotFound);
    EXPECT_EQ(file.CodeAt(2), 0u);
    EXPECT_EQ(file.MessageAt(1), u"missing");
    EXPECT_EQ(file.MessageAt(2), u"");
    EXPECT_TRUE(file.Has(ErrNotFound));
    EXPECT_FALSE(file.Has(ErrContext));
}

TEST(ErrorFrames, CopiesShareUntilOneChanges) {
    Error original(1, BaseString(u"one"), true);
    Error copy = original;
    copy.Add(2, BaseString(u"two"), false);
    EXPECT_EQ(original.FrameCount(), 1u);
    EXPECT_EQ(copy.FrameCount(), 2u);
    EXPECT_EQ(original.GetText(), u"one");
    EXPECT_EQ(copy.GetText(), u"two\none");

    Error shared = copy;
    shared.Clear();
    EXPECT_FALSE(shared.IsSet());
    EXPECT_EQ(copy.FrameCount(), 2u);
    copy.Clear();
    EXPECT_FALSE(copy.IsSet());
    EXPECT_EQ(copy.MarkedIndex(), -1);
}

// Each way of building an Error holds the lock of the module given (by default
// the caller's), and the data keep that hold through copies, moves and
// assignments until the last Error holding them is gone.
TEST(ErrorModule, EveryErrorHoldsTheModuleThatBuiltIt) {
    using Build = std::function<Error(Object::ModuleLock&)>;
    const Build builds[] = {
        [](Object::ModuleLock& lock) { return Error(1, BaseString(u"one"), true, lock); },
        [](Object::ModuleLock& lock) { return Error::InternalList("tag", "test", {}, lock); },
        [](Object::ModuleLock& lock) { return Error::FromSystem(5, BaseString(), true, lock); },
        [](Object::ModuleLock& lock) {
            return Error::FromFile(BaseString(u"%1"), BaseString(u"f"), lock);
        },
    };
    for (const Build& build : builds) {
        Object::ModuleLock lock;
        {
            Error built = build(lock);
            EXPECT_FALSE(lock.IsIdle());
            Error moved = std::move(built);
            Error assigned;
            assigned = moved;
            Error move_assigned;
            move_assigned = std::move(moved);
            moved = Error();
            built = Error();
            EXPECT_FALSE(lock.IsIdle());
        }
        EXPECT_TRUE(lock.IsIdle());
    }
    uint32_t before = Object::ThisModule().State();
    {
        Error built(1, BaseString(u"one"), true);
        EXPECT_EQ(Object::ThisModule().State(), before + 2);
    }
    EXPECT_EQ(Object::ThisModule().State(), before);
}

TEST(ErrorFromFile, MissingFileGivesNotFoundOverTheSystemText) {
    ScopedLanguage english(0x0409);
    Base::SetLastError(2);
    Error error = Error::FromFile(BaseString(u"Cannot open file %1."), BaseString(u"C:\\x.tpl"));
    EXPECT_TRUE(error.Has(ErrNotFound));
    EXPECT_EQ(error.CodeAt(1), 2u);
    BaseString system = SystemErrorText(2);
    EXPECT_FALSE(system.empty());
    EXPECT_EQ(error.GetText(), u"Cannot open file C:\\x.tpl.\n" + system);

    Base::SetLastError(5);
    Error denied = Error::FromFile(BaseString(u"Cannot open file %1."), BaseString(u"f"));
    EXPECT_FALSE(denied.Has(ErrNotFound));
    EXPECT_EQ(denied.CodeAt(0), 5u);
}

TEST(ErrorFromSystem, AddsTheContextAboveTheSystemText) {
    Error error = Error::FromSystem(5, BaseString(u"while saving"), false);
    EXPECT_EQ(error.FrameCount(), 2u);
    EXPECT_EQ(error.CodeAt(0), 5u);
    EXPECT_EQ(error.MessageAt(0), u"while saving");
    EXPECT_EQ(error.MessageAt(1), SystemErrorText(5));
}

TEST(FillMessage, InsertRules) {
    EXPECT_EQ(FillMessage(u"An internal error occurred (%1: %2).", {u"xml", u"tag"}),
              u"An internal error occurred (xml: tag).");
    EXPECT_EQ(FillMessage(u"%2-%1", {u"a", u"b"}), u"b-a");
    EXPECT_EQ(FillMessage(u"100%% %1!s!", {u"x"}), u"100% x");
    EXPECT_EQ(FillMessage(u"cut%0here", {}), u"cut");
    EXPECT_EQ(FillMessage(u"%3", {u"a"}), u"");  // a missing argument fails
}

struct ShownBox {
    BaseString text;
    BaseString caption;
    uint32_t style;
};
std::vector<ShownBox> g_shown_boxes;

int RecordMessageBox(WindowHandle, const BaseString& text, const BaseString& caption,
                     uint32_t style) {
    g_shown_boxes.push_back({text, caption, style});
    return 1;
}

// Without the dialog component an error goes to the message box, captioned
// "Orvella" with the exclamation icon; cancelled and empty errors show nothing.
TEST(ShowError, FallsBackToTheMessageBox) {
    ScopedLanguage english(0x0409);
    MessageBoxFunction previous = InstallMessageBox(RecordMessageBox);
    Error cancelled_below(ErrUserCancel, BaseString(), false);
    cancelled_below.Add(ErrContext, kInitFailed, false);
    Error failure = Error::Internal("probe", "test");
    failure.Add(ErrContext, kInitFailed, false);

    g_shown_boxes.clear();
    ShowError(Error(), nullptr);
    ShowError(Error(ErrUserCancel, BaseString(), false), nullptr);
    ShowError(cancelled_below, nullptr);
    EXPECT_TRUE(g_shown_boxes.empty());

    ShowError(failure, nullptr);
    ASSERT_EQ(g_shown_boxes.size(), 1u);
    EXPECT_EQ(g_shown_boxes[0].text, failure.GetText());
    EXPECT_EQ(g_shown_boxes[0].caption, u"Orvella");
    EXPECT_EQ(g_shown_boxes[0].style, 0x30u);
    InstallMessageBox(previous);
}

#ifndef _WIN32
// With no window library the message box is a line on standard error.
TEST(ShowError, WithoutAWindowTheErrorGoesToStandardError) {
    ScopedLanguage english(0x0409);
    Error failure = Error::Internal("probe", "test");
    testing::internal::CaptureStderr();
    ShowError(Error(ErrUserCancel, BaseString(), false), nullptr);
    ShowError(failure, nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Orvella: " + failure.GetText().ToUtf8() + "\n");
}
#endif

}  // namespace
