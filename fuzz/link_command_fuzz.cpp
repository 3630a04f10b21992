// Navigation URLs as the page could make them: UTF-8 text, decoded into a link
// command and resolved like a "run:" target.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/platform.h"
#include "base/string.h"
#include "launcher/commands/link_command.h"
#include "launcher/commands/run_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BaseString url =
        BaseString::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    BaseString decoded = DecodeUrlEscapes(url);
    // Every escape takes three characters and gives at most two units.
    if (decoded.length() > url.length() ||
        decoded.view().find(u'\0') != std::u16string_view::npos) {
        std::abort();
    }
    LinkCommand command = ParseLinkCommand(url);
    if (command.kind == LinkCommand::Kind::kRun) {
        BaseString target = ResolveRunTargetFor(command.argument, BaseString(u"/medium/autorun"));
        if (!Base::IsFullPath(command.argument) && !target.StartsWith(u"/medium/")) {
            std::abort();
        }
    }
    return 0;
}
