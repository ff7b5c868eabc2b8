#include "cli/OptionTable.h"

#include <algorithm>

namespace veltrim {

std::string CalcUsage() {
    // The help beside each option starts in this column, or three blanks
    // after a longer name and value.
    constexpr std::size_t HelpColumn = 22, DefaultColumn = 60;
    std::string text = R"(Usage: veltrim-calc [options]

Computes the photon spectrum and the percentage depth dose of a diagnostic
X-ray beam in ICRU soft tissue, from the same library as the Veltrim window.

Every option that takes a value takes it as "--kv 80" or "--kv=80"; a value
that begins with a dash needs the second form ("--al=-1").

)";
    for (const CalcOption& option : CalcOptionTable()) {
        if (option.Above)
            text += option.Above;
        std::string named = "  ";
        if (option.Short)
            named += std::string(option.Short) + ", ";
        named += option.Name;
        if (option.Value)
            named += std::string(" ") + option.Value;
        named.resize(std::max(HelpColumn, named.size() + 3), ' ');
        text += named;
        for (const char* ch = option.Help; *ch; ++ch)
            text += *ch == '\n' ? "\n" + std::string(HelpColumn, ' ') : std::string(1, *ch);
        if (option.Default) {
            const std::size_t column = text.size() - text.rfind('\n') - 1;
            text += std::string(DefaultColumn - column, ' ') + "(default " + option.Default + ")";
        }
        text += '\n';
    }
    return text + R"(
On any failure the cause goes to standard error and the exit status is not 0.
)";
}

} // namespace veltrim
