#include "tools/validate/Template.h"

#include <set>
#include <stdexcept>

namespace veltrim::validate {

std::string FillTemplate(std::string_view text, const Placeholders& values) {
    std::string out;
    std::set<std::string, std::less<>> used;
    std::size_t pos = 0;
    while (true) {
        const std::size_t open = text.find("{{", pos);
        if (open == std::string_view::npos)
            break;
        const std::size_t close = text.find("}}", open + 2);
        if (close == std::string_view::npos)
            throw std::runtime_error("template: {{ without }}");
        const std::string_view name = text.substr(open + 2, close - open - 2);
        const auto value = values.find(name);
        if (value == values.end())
            throw std::runtime_error("template: no value for {{" + std::string(name) + "}}");
        used.insert(value->first);
        out.append(text.substr(pos, open - pos)).append(value->second);
        pos = close + 2;
    }
    out.append(text.substr(pos));
    std::string unused;
    for (const auto& [name, value] : values)
        if (!used.contains(name))
            unused += (unused.empty() ? "" : ", ") + name;
    if (!unused.empty())
        throw std::runtime_error("template: values that no placeholder asks for: " + unused);
    return out;
}

} // namespace veltrim::validate
