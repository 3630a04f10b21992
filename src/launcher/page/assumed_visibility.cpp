#include "launcher/page/assumed_visibility.h"

bool ParseAssumption(std::string_view text, AssumedVisibility& assumed) {
    size_t equals = text.rfind('=');
    if (equals == 0 || equals == text.npos) {
        return false;
    }
    std::string_view state = text.substr(equals + 1);
    if (state != "shown" && state != "hidden") {
        return false;
    }
    assumed[BaseString::FromUtf8(text.substr(0, equals))] = state == "shown";
    return true;
}
