#include "error/error.h"

#include <atomic>
#include <utility>
#include <vector>

#include "base/platform.h"
#include "error/messages.h"
#include "error/system_text.h"

class ErrorData {
public:
    std::atomic<uint32_t> refs{1};
    std::vector<ErrorFrame> frames;
    BaseString detail;
    int32_t marked = -1;
};

namespace {

void Unref(ErrorData* data) noexcept {
    if (data && data->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        delete data;
    }
}

BaseString InternalErrorMessage(std::u16string_view module, std::u16string_view tag) {
    return FillMessage(LocalizedText(InternalErrorText), {module, tag});
}

Error FromFileWithCode(uint32_t last_error, const BaseString& message_format,
                       const BaseString& path, Object::ModuleLock& module) {
    Error error = Error::FromSystem(last_error, BaseString(), true, module);
    bool not_found = last_error == 2 || last_error == 3;
    error.Add(not_found ? ErrNotFound : ErrContext, FillMessage(message_format, {path.view()}),
              false);
    return error;
}

}  // namespace

Error::Error(uint32_t code, BaseString text, bool mark, Object::ModuleLock& module)
    : Error(module) {
    Add(code, text, mark);
}

Error::Error(const Error& other) noexcept : data_(other.data_), module_(other.module_) {
    if (data_) {
        data_->refs.fetch_add(1, std::memory_order_relaxed);
    }
}

// The data keep the module of the code that built them, wherever they move.
Error::Error(Error&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), module_(other.module_) {}

Error& Error::operator=(const Error& other) noexcept {
    if (other.data_) {
        other.data_->refs.fetch_add(1, std::memory_order_relaxed);
    }
    Unref(data_);
    data_ = other.data_;
    module_ = other.module_;
    return *this;
}

Error& Error::operator=(Error&& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(module_, other.module_);
    return *this;
}

Error::~Error() {
    Unref(data_);
}

Error Error::InternalList(std::string_view tag_format, std::string_view module,
                          std::initializer_list<FormatArg> args, Object::ModuleLock& code_module) {
    BaseString tag = Base::FormatList(tag_format, args);
    Error error(code_module);
    error.Add(ErrInternal, InternalErrorMessage(BaseString::FromUtf8(module), tag), true);
    return error;
}

Error Error::FromSystem(uint32_t code, const BaseString& text, bool mark,
                        Object::ModuleLock& module) {
    Error error(module);
    error.Add(code, SystemErrorText(code), mark);
    if (!text.empty()) {
        error.Add(ErrContext, text, false);
    }
    return error;
}

Error Error::FromFile(const BaseString& message_format, const BaseString& path,
                      Object::ModuleLock& module) {
    return FromFileWithCode(Base::LastError(), message_format, path, module);
}

Error Error::FromFile(const MessageRow* message_table, const BaseString& path,
                      Object::ModuleLock& module) {
    uint32_t last_error = Base::LastError();
    return FromFileWithCode(last_error, LocalizedText(message_table), path, module);
}

void Error::MakeUnique() {
    if (data_ && data_->refs.load(std::memory_order_acquire) == 1) {
        return;
    }
    ErrorData* fresh = new ErrorData;
    if (data_) {
        fresh->frames = data_->frames;
        fresh->detail = data_->detail;
        fresh->marked = data_->marked;
    }
    Unref(std::exchange(data_, fresh));
}

void Error::Add(uint32_t code, const BaseString& text, bool mark) {
    MakeUnique();
    if (code == ErrContext && !data_->frames.empty()) {
        code = data_->frames.back().code;
    }
    data_->frames.push_back({code, text});
    if (mark) {
        data_->marked = static_cast<int32_t>(data_->frames.size() - 1);
    }
}

bool Error::Has(uint32_t code) const noexcept {
    if (data_) {
        for (const ErrorFrame& frame : data_->frames) {
            if (frame.code == code) {
                return true;
            }
        }
    }
    return false;
}

bool Error::IsSet() const noexcept {
    return data_ && !data_->frames.empty();
}

size_t Error::FrameCount() const noexcept {
    return data_ ? data_->frames.size() : 0;
}

int32_t Error::MarkedIndex() const noexcept {
    return data_ ? data_->marked : -1;
}

const ErrorFrame* Error::FrameAt(size_t index) const noexcept {
    if (index >= FrameCount()) {
        return nullptr;
    }
    return &data_->frames[data_->frames.size() - 1 - index];
}

uint32_t Error::CodeAt(size_t index) const noexcept {
    const ErrorFrame* frame = FrameAt(index);
    return frame ? frame->code : 0;
}

BaseString Error::MessageAt(size_t index) const {
    const ErrorFrame* frame = FrameAt(index);
    if (!frame) {
        return {};
    }
    if (!frame->text.empty()) {
        return frame->text;
    }
    switch (frame->code) {
        case ErrBadFormat:
            return LocalizedText(BadFormatText);
        case ErrUserCancel:
            return InternalErrorMessage(u"error", u"user-cancel");
        case ErrInterrupt:
            return InternalErrorMessage(u"error", u"interrupt");
        case ErrNotSupported:
            return InternalErrorMessage(u"error", u"not-supported");
        default:
            return {};
    }
}

BaseString Error::GetText() const {
    BaseString text = MessageAt(0);
    int32_t mark = MarkedIndex();
    if (text.empty() && mark == -1) {
        uint32_t code = CodeAt(0);
        if (code == 0 || code == ErrUserCancel) {
            return {};
        }
        text = Base::Format("%08x", code);
    } else if (mark != -1 && static_cast<size_t>(mark) != FrameCount() - 1) {
        text += u'\n';
        text += MessageAt(FrameCount() - 1 - static_cast<size_t>(mark));
    }
    if (data_ && !data_->detail.empty()) {
        if (!text.empty()) {
            text += u'\n';
        }
        text += u'\n';
        text += data_->detail;
    }
    return text;
}

void Error::Clear() noexcept {
    if (!IsSet()) {
        return;
    }
    if (data_->refs.load(std::memory_order_acquire) >= 2) {
        Unref(std::exchange(data_, nullptr));
        return;
    }
    data_->frames.clear();
    data_->detail.Clear();
    data_->marked = -1;
}

const BaseString& Error::DetailText() const noexcept {
    static const BaseString empty;
    return data_ ? data_->detail : empty;
}

void Error::SetDetailText(const BaseString& text) {
    MakeUnique();
    data_->detail = text;
}
