#include "tools/datagen/NistTable.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace veltrim::datagen {
namespace {

double ParseField(const std::string& text, std::size_t& pos, const std::string& where) {
    const char* begin = text.c_str() + pos;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(begin, &end);
    if (end == begin || errno != 0) {
        throw std::runtime_error(where + ": not a number");
    }
    pos += static_cast<std::size_t>(end - begin);
    if (pos < text.size() && text[pos] == ',') {
        ++pos;
    }
    return value;
}

} // namespace

NistTable ReadNistTable(const std::filesystem::path& path) {
    std::ifstream in(path);
    if (!in) {
        throw std::runtime_error("cannot open " + path.string());
    }
    NistTable table;
    std::string line;
    bool headerSeen = false;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            continue;
        }
        if (line[0] == '#') {
            table.Citation += (table.Citation.empty() ? "" : "\n") + line;
            continue;
        }
        if (!headerSeen) {
            headerSeen = true;
            continue;
        }
        const std::string where = path.string() + ":" + std::to_string(lineNumber);
        std::size_t pos = 0;
        NistRow row;
        row.EnergyKeV = 1000.0 * ParseField(line, pos, where);
        row.MuOverRho = ParseField(line, pos, where);
        // A table of attenuation alone (PMMA's) has no third column in any row.
        const bool third = pos < line.size();
        if (table.Rows.empty()) {
            table.HasMuEn = third;
        } else if (third != table.HasMuEn) {
            throw std::runtime_error(where + ": not as many columns as the first row");
        }
        row.MuEnOverRho = third ? ParseField(line, pos, where) : 0.0;
        if (!table.Rows.empty() && row.EnergyKeV < table.Rows.back().EnergyKeV) {
            throw std::runtime_error(where + ": energies fall");
        }
        if (row.MuOverRho <= 0.0 || (table.HasMuEn && row.MuEnOverRho <= 0.0)) {
            throw std::runtime_error(where + ": coefficient not positive");
        }
        table.Rows.push_back(row);
    }
    if (table.Rows.size() < 2) {
        throw std::runtime_error(path.string() + ": fewer than two rows");
    }
    return table;
}

} // namespace veltrim::datagen
