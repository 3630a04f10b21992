#include <stdlib.h>

#include "scoped_variable.h"

namespace {

void Put(const std::string& name, const std::optional<std::string>& value) {
    if (value) {
        setenv(name.c_str(), value->c_str(), 1);
    } else {
        unsetenv(name.c_str());
    }
}

}  // namespace

ScopedVariable::ScopedVariable(const std::string& name, const std::optional<std::string>& value)
    : name_(name) {
    if (const char* previous = getenv(name.c_str())) {
        previous_ = previous;
    }
    Put(name_, value);
}

ScopedVariable::~ScopedVariable() {
    Put(name_, previous_);
}
