#pragma once

// Where the report goes: the data files and gnuplot scripts of its figures,
// and the figures themselves when gnuplot can draw them.

#include <filesystem>
#include <string>

namespace veltrim::validate {

struct FigureData;

class Report {
  public:
    Report(std::filesystem::path outFolder, bool plots);

    // Writes a data file (whitespace columns) into the figure folder.
    void WriteData(const FigureData& file) const;
    // Runs gnuplot on `script` (its output is a PNG in the figure folder)
    // and gives the markdown that links the figure when it was made. Without
    // plots, or without gnuplot, the script is still written and the text
    // names it.
    std::string Figure(const std::string& name, const std::string& script,
                       const std::string& caption) const;

  private:
    void Write(const std::string& name, const std::string& contents) const;

    std::filesystem::path figures_;
    bool plots_;
};

// Number formatting for tables.
std::string Fixed(double value, int decimals);
std::string Signed(double value, int decimals);                    // with a + for positive values
std::string Percent(double value, double reference, int decimals); // (value/reference - 1) in %

} // namespace veltrim::validate
