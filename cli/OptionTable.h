#pragma once

#include "cli/CalcOptions.h"

#include <span>
#include <string>
#include <string_view>

namespace veltrim {

// What an option goes with: a batch takes its conditions from its file and
// prints its rows in a shape of its own.
enum class OptionUse {
    Any,
    Condition, // a typed condition: refused beside --batch
    Single,    // an output of one calculation: refused beside --batch
    BatchOnly, // refused without --batch
};

// One option of veltrim-calc: what the parser accepts, what it sets and what
// --help says of it.
struct CalcOption {
    const char* Above = nullptr; // --help's text before the option: a section's title, prose
    const char* Name = nullptr;  // "--kv"
    const char* Short = nullptr; // "-h", or none
    const char* Value = nullptr; // the value's placeholder in --help; none for a flag
    OptionUse Use = OptionUse::Any;
    // Stores the value (empty for a flag) in the options; throws
    // std::invalid_argument, for the user, on a value the option refuses.
    void (*Set)(CalcOptions& options, const std::string& value) = nullptr;
    const char* Help = nullptr;    // beside the name in --help, one line per '\n'
    const char* Default = nullptr; // a condition's default, in a column of its own
    // Each use adds a value (--point, --interest); any other option given
    // twice is refused, since the last would silently win.
    bool Repeatable = false;
};

// Every option, in the order --help lists them.
std::span<const CalcOption> CalcOptionTable();

// The option of that long or short name, or none.
const CalcOption* FindCalcOption(std::string_view name);

// The text printed by --help.
std::string CalcUsage();

} // namespace veltrim
