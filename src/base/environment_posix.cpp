#include <stdlib.h>

#include "base/environment.h"

namespace Base {

std::optional<BaseString> EnvironmentVariable(std::u16string_view name) {
    const char* value = getenv(BaseString(name).ToUtf8().c_str());
    if (!value) {
        return std::nullopt;
    }
    return BaseString::FromUtf8(value);
}

}  // namespace Base
