#pragma once

// The report being written: its markdown text, the data files and gnuplot
// scripts of its figures, and the pass/fail checks that CTest runs.

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace veltrim::validate {

class Report {
  public:
    Report(std::filesystem::path outFolder, bool plots);

    std::ostringstream Text; // markdown of docs/validation.md
    // One line per section for the summary at the top of the report.
    std::vector<std::string> Summary;
    // Results one section hands to a later one, by name.
    std::map<std::string, double> Numbers;

    // Records a check; `what` says what was compared, `detail` the numbers.
    void Check(bool passed, const std::string& what, const std::string& detail);
    int Failures() const { return failures_; }
    const std::vector<std::string>& CheckLines() const { return checks_; }

    // Writes a data file (whitespace columns) into the figure folder and
    // returns its name relative to the figure folder.
    std::string WriteData(const std::string& name, const std::string& contents);
    // Runs gnuplot on `script` (its output is a PNG in the figure folder);
    // the figure is linked from the report when it was made. Without plots,
    // or without gnuplot, the script is still written and the link names it.
    void Figure(const std::string& name, const std::string& script, const std::string& caption);

    const std::filesystem::path& FigureFolder() const { return figures_; }

  private:
    std::filesystem::path out_;
    std::filesystem::path figures_;
    bool plots_;
    int failures_ = 0;
    std::vector<std::string> checks_;
};

// Number formatting for tables.
std::string Fixed(double value, int decimals);
std::string Signed(double value, int decimals);                    // with a + for positive values
std::string Percent(double value, double reference, int decimals); // (value/reference - 1) in %

} // namespace veltrim::validate
