#include "tools/validate/Report.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace veltrim::validate {

Report::Report(std::filesystem::path outFolder, bool plots)
    : out_(std::move(outFolder)), figures_(out_ / "validation"), plots_(plots) {
    std::filesystem::create_directories(figures_);
}

void Report::Check(bool passed, const std::string& what, const std::string& detail) {
    if (!passed)
        ++failures_;
    checks_.push_back(std::string(passed ? "pass  " : "FAIL  ") + what + ": " + detail);
}

std::string Report::WriteData(const std::string& name, const std::string& contents) {
    std::ofstream file(figures_ / name, std::ios::binary);
    file << contents;
    if (!file)
        throw std::runtime_error("cannot write " + (figures_ / name).string());
    return name;
}

void Report::Figure(const std::string& name, const std::string& script,
                    const std::string& caption) {
    const std::string scriptName = name + ".gp";
    WriteData(scriptName, "set terminal pngcairo size 1000,700 font 'DejaVu Sans,10'\n"
                          "set output '" +
                              name + ".png'\n" + script);
    bool made = false;
    if (plots_) {
        const std::string command =
            "cd '" + figures_.string() + "' && gnuplot '" + scriptName + "' > /dev/null 2>&1";
        made = std::system(command.c_str()) == 0;
        if (!made) // gnuplot without cairo: the plain PNG terminal
        {
            WriteData(scriptName,
                      "set terminal png size 1000,700\nset output '" + name + ".png'\n" + script);
            made = std::system(command.c_str()) == 0;
        }
    }
    if (made)
        Text << "![" << caption << "](validation/" << name << ".png)\n\n*" << caption << "*\n\n";
    else
        Text << "*" << caption << "* (figure not drawn in this run; script `validation/"
             << scriptName << "`)\n\n";
}

std::string Fixed(double value, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

std::string Signed(double value, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%+.*f", decimals, value);
    return buffer;
}

std::string Percent(double value, double reference, int decimals) {
    return Signed(100.0 * (value / reference - 1.0), decimals);
}

} // namespace veltrim::validate
