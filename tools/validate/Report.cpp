#include "tools/validate/Report.h"

#include "core/FileReplacing.h"
#include "tools/validate/Studies.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace veltrim::validate {

Report::Report(std::filesystem::path outFolder, bool plots)
    : figures_(outFolder / "validation"), plots_(plots) {
    std::filesystem::create_directories(figures_);
}

void Report::WriteData(const FigureData& file) const {
    Write(file.Name, file.Text);
}

void Report::Write(const std::string& name, const std::string& contents) const {
    ReplaceFileOrThrow(figures_ / name, contents);
}

std::string Report::Figure(const std::string& name, const std::string& script,
                           const std::string& caption) const {
    const std::string scriptName = name + ".gp";
    Write(scriptName, "set terminal pngcairo size 1000,700 font 'DejaVu Sans,10'\n"
                      "set output '" +
                          name + ".png'\n" + script);
    bool made = false;
    if (plots_) {
        const std::string command =
            "cd '" + figures_.string() + "' && gnuplot '" + scriptName + "' > /dev/null 2>&1";
        made = std::system(command.c_str()) == 0;
        if (!made) // gnuplot without cairo: the plain PNG terminal
        {
            Write(scriptName,
                  "set terminal png size 1000,700\nset output '" + name + ".png'\n" + script);
            made = std::system(command.c_str()) == 0;
        }
    }
    if (made)
        return "![" + caption + "](validation/" + name + ".png)\n\n*" + caption + "*";
    return "*" + caption + "* (figure not drawn in this run; script `validation/" + scriptName +
           "`)";
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
