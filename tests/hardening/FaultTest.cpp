// Data files broken on disk: each must give a message that names the file,
// publish nothing half-read, keep the previous table and results file, and
// leave the next calculation on repaired files working as before. (What the
// reader makes of each kind of bad number is the data-file reader's test.)
#include "common/Installation.h"
#include "dose/DepthDose.h"
#include "dose/TissueTables.h"
#include "spectrum/AttenuationTables.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace veltrim;
using namespace veltrim::testing;
namespace fs = std::filesystem;

// Byte offsets [begin, end) of the numbers of a data file, split the way the
// data-file reader splits them.
std::vector<std::pair<std::size_t, std::size_t>> NumberSpans(const std::string& text) {
    const auto separator = [](char ch) {
        return ch == ',' || ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
    };
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && separator(text[i]))
            ++i;
        const std::size_t begin = i;
        while (i < text.size() && !separator(text[i]))
            ++i;
        if (i > begin)
            spans.emplace_back(begin, i);
    }
    return spans;
}

// A way of breaking a data file: the new contents made from the good ones and
// the count of numbers the loader needs, or nothing to delete the file.
struct Breakage {
    std::string name;
    std::function<std::optional<std::string>(const std::string& text, std::size_t needed)> apply;
};

std::string CutAfterNumber(const std::string& text, std::size_t count) {
    return text.substr(0, NumberSpans(text)[count - 1].second);
}

std::string ReplaceNumber(const std::string& text, std::size_t number, const std::string& with) {
    const auto [begin, end] = NumberSpans(text)[number - 1];
    return text.substr(0, begin) + with + text.substr(end);
}

// Broken at the start, half-way and at the end of what the loader reads.
std::vector<Breakage> Breakages() {
    using Text = const std::string&;
    return {
        {"missing", [](Text, std::size_t) { return std::nullopt; }},
        {"empty", [](Text, std::size_t) { return std::string(); }},
        {"cut half-way", [](Text t, std::size_t n) { return CutAfterNumber(t, n / 2); }},
        {"one number short", [](Text t, std::size_t n) { return CutAfterNumber(t, n - 1); }},
        {"binary zeros at the end",
         [](Text t, std::size_t n) {
             return CutAfterNumber(t, n - 1) + std::string("\n\0\0\0", 4);
         }},
        {"\"abc\" as the first number",
         [](Text t, std::size_t) { return ReplaceNumber(t, 1, "abc"); }},
        {"\"nan\" half-way",
         [](Text t, std::size_t n) { return ReplaceNumber(t, n / 2 + 1, "nan"); }},
        {"\"1e999\" as the last number",
         [](Text t, std::size_t n) { return ReplaceNumber(t, n, "1e999"); }},
    };
}

// Writes the broken file, or deletes it.
void Break(const fs::path& file, const std::optional<std::string>& contents) {
    if (contents)
        WriteFile(file, *contents);
    else
        fs::remove(file);
}

// Numbers each loader needs from the made-up files: 300 records of two, the
// row count, an unused number and 12 rows of four, 29 records of two, 80 x 80.
constexpr std::size_t AttenuationNumbers = 600;
constexpr std::size_t TissueNumbers = 2 + 12 * 4;
constexpr std::size_t PrimaryNumbers = 58;
constexpr std::size_t KernelNumbers = 6400;

TEST(Faults, BrokenAttenuationFileIsNamedAndNoCalculationStarts) {
    for (const char* name : {TungstenFile, AluminiumFile, CopperFile}) {
        Installation f;
        const fs::path file = f.dir / name;
        const std::string good = ReadBytes(file);
        ASSERT_EQ(NumberSpans(good).size(), AttenuationNumbers);
        const AttenuationTables loaded = f.state.Attenuation;
        for (const Breakage& b : Breakages()) {
            SCOPED_TRACE(std::string(name) + ": " + b.name);
            Break(file, b.apply(good, AttenuationNumbers));
            f.sink.Messages.clear();
            EXPECT_FALSE(f.state.LoadAttenuationTables());
            ASSERT_EQ(f.sink.Messages.size(), 1u);
            EXPECT_NE(f.sink.Messages[0].find(name), std::string::npos) << f.sink.Messages[0];
            // Nothing of the broken file reaches the tables in use.
            EXPECT_EQ(f.state.Attenuation.MuTungsten, loaded.MuTungsten);
            EXPECT_EQ(f.state.Attenuation.MuAluminium, loaded.MuAluminium);
            EXPECT_EQ(f.state.Attenuation.MuCopper, loaded.MuCopper);
            EXPECT_EQ(f.Calculate(), CalculationResult::Stopped);
            EXPECT_EQ(f.sink.Messages.size(), 1u);
            EXPECT_FALSE(fs::exists(f.ResultsPath()));
            WriteFile(file, good);
            ASSERT_TRUE(f.state.LoadAttenuationTables());
        }
    }
}

// Tissue, primary-dose and kernel files are read at every calculation: a
// broken one must stop it with the previous table and results file intact,
// and the calculation after the repair must give the first table again.
void CheckBreakages(const fs::path& relative, std::size_t needed, CalculationResult expected,
                    const std::vector<Breakage>& breakages) {
    CalculatedInstallation f;
    const TissueRows tissue = f.state.Tissue.Rows;
    const EnergyTable primary = f.state.Tissue.PrimaryDose;
    const fs::path file = f.dir / relative.string();
    const std::string good = ReadBytes(file);
    ASSERT_EQ(NumberSpans(good).size(), needed);

    for (const Breakage& b : breakages) {
        SCOPED_TRACE(relative.generic_string() + ": " + b.name);
        Break(file, b.apply(good, needed));
        EXPECT_EQ(f.Calculate(f.other), expected);
        ASSERT_EQ(f.sink.Messages.size(), 1u);
        const bool stopped = expected == CalculationResult::Stopped;
        const std::string told = stopped ? f.sink.Messages[0] : f.state.DepthDoseFailureCause;
        EXPECT_TRUE(stopped || IsDepthDoseFailure(f.sink.Messages[0])) << f.sink.Messages[0];
        EXPECT_NE(told.find(relative.generic_string()), std::string::npos) << told;
        f.ExpectKept();
        // Nothing half-read is left in the tissue tables either.
        EXPECT_EQ(f.state.Tissue.PrimaryDose, primary);
        EXPECT_TRUE(f.state.Tissue.Rows == tissue);

        WriteFile(file, good);
        ASSERT_EQ(f.Calculate(), CalculationResult::Completed) << f.state.DepthDoseFailureCause;
        f.ExpectKept();
    }
}

TEST(Faults, BrokenTissueOrPrimaryDoseFileStopsTheCalculationAndKeepsTheResults) {
    CheckBreakages(TissueFile, TissueNumbers, CalculationResult::Stopped, Breakages());
    CheckBreakages(PrimaryDoseFile, PrimaryNumbers, CalculationResult::Stopped, Breakages());
}

TEST(Faults, BrokenKernelFileFailsTheDepthDoseAndKeepsTheResults) {
    const auto kernel = [](int energy) { return fs::path(KernelFolder) / KernelFile(energy); };
    CheckBreakages(kernel(85), KernelNumbers, CalculationResult::DepthDoseFailed, Breakages());
    // The first and the last file read.
    const std::vector<Breakage> all = Breakages();
    const std::vector<Breakage> few(all.begin(), all.begin() + 4);
    CheckBreakages(kernel(10), KernelNumbers, CalculationResult::DepthDoseFailed, few);
    CheckBreakages(kernel(150), KernelNumbers, CalculationResult::DepthDoseFailed, few);
}

TEST(Faults, MissingKernelFolderOrDataFolderIsReported) {
    CalculatedInstallation f;
    fs::rename(f.dir / KernelFolder, f.dir / "moved");
    EXPECT_EQ(f.Calculate(), CalculationResult::DepthDoseFailed);
    EXPECT_TRUE(IsOneDepthDoseFailure(f.sink.Messages));
    EXPECT_NE(f.state.DepthDoseFailureCause.find("PDS-data/10.dat"), std::string::npos);
    f.ExpectKept();

    // A kernel folder that is a file, and a data folder that is gone.
    WriteFile(f.dir / KernelFolder, "10, 20\n");
    EXPECT_EQ(f.Calculate(), CalculationResult::DepthDoseFailed);
    EXPECT_EQ(f.state.DepthDoseResult, f.table);

    RecordingSink sink;
    SharedState fresh(sink, f.dir / "no such folder", f.dir.Path());
    EXPECT_FALSE(fresh.LoadAttenuationTables());
    ASSERT_EQ(sink.Messages.size(), 1u);
    EXPECT_NE(sink.Messages[0].find(TungstenFile), std::string::npos);
    EXPECT_EQ(RunCalculation(fresh, {}, {}), CalculationResult::Stopped);
}

} // namespace
