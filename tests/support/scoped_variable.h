#pragma once

#include <optional>
#include <string>

// Sets an environment variable of this process (none: removes it) while it
// lives, and puts back what was there before.
class ScopedVariable {
public:
    ScopedVariable(const std::string& name, const std::optional<std::string>& value);
    ~ScopedVariable();
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    std::string name_;
    std::optional<std::string> previous_;
};
