#include "object/value.h"

#include "error/error.h"

Value Value::FromModule(void* module_handle) {
    Value value;
    value.data_ = Module{module_handle};
    return value;
}

Value::Tag Value::tag() const {
    switch (data_.index()) {
        case 1:
            return kInteger;
        case 2:
            return kString;
        case 3:
            return kObject;
        case 4:
            return kModule;
        default:
            return kEmpty;
    }
}

Value Value::As(Tag wanted, bool allow_conversion) const {
    Tag held = tag();
    if (wanted == kEmpty || held == kEmpty) {
        return {};
    }
    if (held == wanted) {
        return *this;
    }
    if (allow_conversion && held == kInteger && wanted == kString) {
        return Value(Base::Format("%d", std::get<int32_t>(data_)));
    }
    if (allow_conversion && held == kString && wanted == kInteger) {
        const BaseString& text = std::get<BaseString>(data_);
        int64_t number = 0;
        bool negative = !text.empty() && text[0] == u'-';
        size_t start = negative ? 1 : 0;
        bool digits = text.length() > start && text.length() - start <= 10;
        for (size_t i = start; digits && i < text.length(); ++i) {
            digits = text[i] >= u'0' && text[i] <= u'9';
            number = number * 10 + (text[i] - u'0');
        }
        if (digits && number <= INT32_MAX + int64_t{negative}) {
            return Value(static_cast<int32_t>(negative ? -number : number));
        }
    }
    throw Error::Internal("val-conv2(%d,%d)", "autorun", static_cast<int32_t>(held),
                          static_cast<int32_t>(wanted));
}

int32_t Value::GetInteger(bool allow_conversion) const {
    Value value = As(kInteger, allow_conversion);
    return value.IsEmpty() ? 0 : std::get<int32_t>(value.data_);
}

BaseString Value::GetString(bool allow_conversion) const {
    Value value = As(kString, allow_conversion);
    return value.IsEmpty() ? BaseString() : std::get<BaseString>(value.data_);
}

Ref<BaseFace> Value::GetFace() const {
    Value value = As(kObject);
    return value.IsEmpty() ? Ref<BaseFace>() : std::get<Ref<BaseFace>>(value.data_);
}

void* Value::GetModule() const {
    Value value = As(kModule);
    return value.IsEmpty() ? nullptr : std::get<Module>(value.data_).handle;
}
