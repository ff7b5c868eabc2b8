#include "core/CFormat.h"

#include <cstdarg>
#include <cstdio>
#include <locale.h>
#include <stdexcept>

namespace veltrim {

std::string FormatC(const char* format, ...) {
    // A private "C" locale for this thread only; printf would otherwise follow the global one.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const locale_t previous = uselocale(cLocale);
    char text[256];
    va_list arguments;
    va_start(arguments, format);
    const int n = std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    uselocale(previous);
    if (n < 0 || n >= static_cast<int>(sizeof text))
        throw std::length_error("formatted number too long");
    return text;
}

} // namespace veltrim
