#include "core/CFormat.h"

#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <locale.h>

namespace veltrim {

std::string FormatC(const char* format, ...) {
    // A private "C" locale for this thread only; printf would otherwise follow the global one.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const locale_t previous = uselocale(cLocale);
    // Most texts fit the buffer; a longer one (a huge number with decimals)
    // is formatted again into a string of its length, so that no message
    // fails for the size of the number it names.
    char text[256];
    va_list arguments;
    va_start(arguments, format);
    va_list again;
    va_copy(again, arguments);
    const int n = std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    std::string out;
    if (n >= static_cast<int>(sizeof text)) {
        out.resize(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), format, again);
        out.resize(static_cast<std::size_t>(n));
    } else if (n >= 0) {
        out = text;
    }
    va_end(again);
    uselocale(previous);
    return out;
}

std::string ShortestText(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

} // namespace veltrim
