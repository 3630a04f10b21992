#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "base/string.h"

// The process's environment variables.
namespace Base {

// The value of a variable; none when it is not set.
std::optional<BaseString> EnvironmentVariable(std::u16string_view name);

// How a text names variables: Windows' "%NAME%", or the shells' "$NAME" and
// "${NAME}" (a name of letters, digits and "_", not starting with a digit).
enum class VariableSyntax { kPercent, kDollar };

// The system's own syntax: kPercent on Windows, kDollar elsewhere.
VariableSyntax NativeVariableSyntax();

// The text with every variable it names replaced by `lookup`'s value; none
// when a variable is not set (`lookup` answers none). What names no variable
// stays as written: a "%" without a closing one, a "$" before anything but a
// name or "{NAME}".
std::optional<BaseString> ExpandVariables(
    std::u16string_view text, VariableSyntax syntax,
    const std::function<std::optional<BaseString>(std::u16string_view)>& lookup);

// ExpandVariables with the system's syntax and the process's environment.
std::optional<BaseString> ExpandEnvironmentVariables(std::u16string_view text);

}  // namespace Base
