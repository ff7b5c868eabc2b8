// Data files broken on disk in every way we could think of: each must give a
// message that names the file, publish nothing half-read, keep the previous
// table and results file, and leave the next calculation on repaired files
// working as before.
#include "dose/DepthDose.h"
#include "common/FailureMessages.h"
#include "dose/TissueTables.h"
#include "hardening/Installation.h"
#include "spectrum/AttenuationTables.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

using veltrim::CalculationResult;
using veltrim::testing::Installation;
using veltrim::testing::NumberSpans;
namespace fs = std::filesystem;

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

std::vector<Breakage> Breakages() {
    std::vector<Breakage> list = {
        {"missing", [](const std::string&, std::size_t) { return std::nullopt; }},
        {"empty", [](const std::string&, std::size_t) { return std::string(); }},
        {"separators only",
         [](const std::string&, std::size_t) { return std::string(" ,\r\n\t,"); }},
        {"cut after the first number",
         [](const std::string& t, std::size_t) { return CutAfterNumber(t, 1); }},
        {"cut half-way",
         [](const std::string& t, std::size_t n) { return CutAfterNumber(t, n / 2); }},
        {"one number short",
         [](const std::string& t, std::size_t n) { return CutAfterNumber(t, n - 1); }},
        {"binary zeros at the end",
         [](const std::string& t, std::size_t n) {
             return CutAfterNumber(t, n - 1) + std::string("\n\0\0\0", 4);
         }},
    };
    // A bad field first, half-way and as the last number the loader needs.
    const char* bad[] = {"abc", "1.5x", "0x10",  "1.5.5",  "nan",    "NaN",
                         "inf", "-inf", "1e999", "-1e999", "1e-999", "\xff\xfe"};
    for (const char* field : bad) {
        list.push_back(
            {std::string("\"") + field + "\" as the first number",
             [field](const std::string& t, std::size_t) { return ReplaceNumber(t, 1, field); }});
        list.push_back({std::string("\"") + field + "\" half-way",
                        [field](const std::string& t, std::size_t n) {
                            return ReplaceNumber(t, n / 2 + 1, field);
                        }});
        list.push_back(
            {std::string("\"") + field + "\" as the last number",
             [field](const std::string& t, std::size_t n) { return ReplaceNumber(t, n, field); }});
    }
    return list;
}

// Writes the broken file, or deletes it.
void Break(const fs::path& file, const std::optional<std::string>& contents) {
    if (contents)
        veltrim::testing::WriteFile(file, *contents);
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
    for (const char* name : {veltrim::TungstenFile, veltrim::AluminiumFile, veltrim::CopperFile}) {
        Installation f;
        const fs::path file = f.dir / name;
        const std::string good = veltrim::testing::ReadBytes(file);
        ASSERT_EQ(NumberSpans(good).size(), AttenuationNumbers);
        ASSERT_TRUE(f.state.LoadAttenuationTables());
        const veltrim::AttenuationTables loaded = f.state.Attenuation;
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
            veltrim::testing::WriteFile(file, good);
            ASSERT_TRUE(f.state.LoadAttenuationTables());
        }
    }
}

// Tissue, primary-dose and kernel files are read at every calculation: a
// broken one must stop it with the previous table and results file intact,
// and the calculation after the repair must give the first table again.
void CheckBreakages(const fs::path& relative, std::size_t needed, CalculationResult expected,
                    const std::vector<Breakage>& breakages) {
    Installation f;
    ASSERT_TRUE(f.state.LoadAttenuationTables());
    ASSERT_EQ(f.Calculate(), CalculationResult::Completed) << f.state.DepthDoseFailureCause;
    const veltrim::DepthDoseTable table = f.state.DepthDoseResult;
    const std::string resultsFile = f.ResultsBytes();
    const veltrim::TissueRows tissue = f.state.Tissue.Rows;
    const veltrim::EnergyTable primary = f.state.Tissue.PrimaryDose;
    const fs::path file = f.dir / relative.string();
    const std::string good = veltrim::testing::ReadBytes(file);
    ASSERT_EQ(NumberSpans(good).size(), needed);

    // A different voltage, so a table that leaked through would differ.
    veltrim::ConditionTexts other;
    other.TubeVoltage = "120";
    for (const Breakage& b : breakages) {
        SCOPED_TRACE(relative.generic_string() + ": " + b.name);
        Break(file, b.apply(good, needed));
        EXPECT_EQ(f.Calculate(other), expected);
        ASSERT_EQ(f.sink.Messages.size(), 1u);
        const std::string told = expected == CalculationResult::Stopped
                                     ? f.sink.Messages[0]
                                     : f.state.DepthDoseFailureCause;
        if (expected == CalculationResult::DepthDoseFailed) {
            EXPECT_TRUE(veltrim::testing::IsDepthDoseFailure(f.sink.Messages[0])) << f.sink.Messages[0];
        }
        EXPECT_NE(told.find(relative.generic_string()), std::string::npos) << told;
        EXPECT_EQ(f.state.DepthDoseResult, table);
        EXPECT_EQ(f.ResultsBytes(), resultsFile);
        // Nothing half-read is left in the tissue tables either.
        EXPECT_EQ(f.state.Tissue.PrimaryDose, primary);
        for (int r = 0; r <= veltrim::TissueRowCapacity; ++r)
            EXPECT_EQ(f.state.Tissue.Rows[r].EnergyKeV, tissue[r].EnergyKeV) << "row " << r;

        veltrim::testing::WriteFile(file, good);
        ASSERT_EQ(f.Calculate(), CalculationResult::Completed) << f.state.DepthDoseFailureCause;
        EXPECT_EQ(f.state.DepthDoseResult, table);
        EXPECT_EQ(f.ResultsBytes(), resultsFile);
    }
}

void CheckEveryBreakage(const fs::path& relative, std::size_t needed, CalculationResult expected,
                        const std::vector<Breakage>& extra = {}) {
    std::vector<Breakage> breakages = Breakages();
    breakages.insert(breakages.end(), extra.begin(), extra.end());
    CheckBreakages(relative, needed, expected, breakages);
}

Breakage ReplaceFirst(const std::string& with) {
    return {"row count " + with,
            [with](const std::string& t, std::size_t) { return ReplaceNumber(t, 1, with); }};
}

TEST(Faults, BrokenTissueFileStopsTheCalculationAndKeepsTheResults) {
    // 38 rows would overrun the table even when the file holds them all.
    std::string rows38 = "38, 0\n";
    for (int r = 1; r <= 38; ++r)
        rows38 += std::to_string(0.005 * r) + ", 1, 1, 1\n";
    CheckEveryBreakage(
        veltrim::TissueFile, TissueNumbers, CalculationResult::Stopped,
        {ReplaceFirst("38"),
         ReplaceFirst("1e9"),
         ReplaceFirst("0"),
         ReplaceFirst("-12"),
         ReplaceFirst("12.5"),
         ReplaceFirst("13"),
         {"38 rows in the file", [rows38](const std::string&, std::size_t) { return rows38; }}});
}

TEST(Faults, BrokenPrimaryDoseFileStopsTheCalculationAndKeepsTheResults) {
    CheckEveryBreakage(veltrim::PrimaryDoseFile, PrimaryNumbers, CalculationResult::Stopped,
                       {{"zero factor", [](const std::string& t,
                                           std::size_t) { return ReplaceNumber(t, 30, "0"); }},
                        {"negative last factor", [](const std::string& t, std::size_t) {
                             return ReplaceNumber(t, 58, "-1e-3");
                         }}});
}

TEST(Faults, BrokenKernelFileFailsTheDepthDoseAndKeepsTheResults) {
    const auto kernel = [](int energy) {
        return fs::path(veltrim::KernelFolder) / veltrim::KernelFile(energy);
    };
    CheckEveryBreakage(kernel(85), KernelNumbers, CalculationResult::DepthDoseFailed);
    // The first and the last file read, broken in a few ways.
    const std::vector<Breakage> all = Breakages();
    const std::vector<Breakage> few(all.begin(), all.begin() + 9);
    CheckBreakages(kernel(10), KernelNumbers, CalculationResult::DepthDoseFailed, few);
    CheckBreakages(kernel(150), KernelNumbers, CalculationResult::DepthDoseFailed, few);
}

TEST(Faults, MissingKernelFolderOrDataFolderIsReported) {
    Installation f;
    ASSERT_TRUE(f.state.LoadAttenuationTables());
    ASSERT_EQ(f.Calculate(), CalculationResult::Completed);
    const veltrim::DepthDoseTable table = f.state.DepthDoseResult;
    const std::string resultsFile = f.ResultsBytes();

    fs::rename(f.dir / veltrim::KernelFolder, f.dir / "moved");
    EXPECT_EQ(f.Calculate(), CalculationResult::DepthDoseFailed);
    EXPECT_TRUE(veltrim::testing::IsOneDepthDoseFailure(f.sink.Messages));
    EXPECT_NE(f.state.DepthDoseFailureCause.find("PDS-data/10.dat"), std::string::npos);
    EXPECT_EQ(f.state.DepthDoseResult, table);
    EXPECT_EQ(f.ResultsBytes(), resultsFile);

    // A kernel folder that is a file, and a data folder that is gone.
    veltrim::testing::WriteFile(f.dir / veltrim::KernelFolder, "10, 20\n");
    EXPECT_EQ(f.Calculate(), CalculationResult::DepthDoseFailed);
    EXPECT_EQ(f.state.DepthDoseResult, table);

    veltrim::RecordingSink sink;
    veltrim::SharedState fresh(sink, f.dir / "no such folder", f.dir.Path());
    EXPECT_FALSE(fresh.LoadAttenuationTables());
    ASSERT_EQ(sink.Messages.size(), 1u);
    EXPECT_NE(sink.Messages[0].find(veltrim::TungstenFile), std::string::npos);
    EXPECT_EQ(veltrim::RunCalculation(fresh, {}, {}), CalculationResult::Stopped);
}

} // namespace
