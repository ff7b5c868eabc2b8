#include "dose/TissueTables.h"

#include "core/DataFile.h"
#include "dose/ScatterKernels.h"
#include "dose/SyntheticData.h"
#include "spectrum/AttenuationTables.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace {

// Primary.dat whose node j (5j keV) holds the factor `factor(j)`; the first
// number of each record deliberately disagrees with the node energy.
std::string PrimaryText(double (*factor)(int), int records = 29) {
    std::string text;
    for (int n = 1; n <= records; ++n) {
        const int j = n + 1;
        text += std::to_string(999 - n) + ", " + std::to_string(factor(j)) + "\n";
    }
    return text;
}

double SteepFactor(int j) {
    return 100.0 / (j * j * j) + 0.25 * j;
}

veltrim::TissueTables FromTexts(const std::string& tissue, const std::string& primary) {
    return veltrim::TissueTablesFromTexts(tissue, primary);
}

TEST(TissueTables, PrimaryDoseFactorIsLogInterpolatedBetweenNodes) {
    const auto tables =
        FromTexts(veltrim::testing::SyntheticTissueText(), PrimaryText(SteepFactor));
    const auto& table = tables.PrimaryDose;
    const auto P = [](int keV) { return std::stod(std::to_string(SteepFactor(keV / 5))); };
    // 10.5 keV lies 4.5 keV below the 15-keV node.
    EXPECT_DOUBLE_EQ(table[21],
                     std::exp(std::log(P(15)) - (std::log(P(15)) - std::log(P(10))) * 4.5 / 5));
    EXPECT_DOUBLE_EQ(table[30], P(15));
    EXPECT_DOUBLE_EQ(table[200], P(100));
    EXPECT_DOUBLE_EQ(table[299],
                     std::exp(std::log(P(150)) - (std::log(P(150)) - std::log(P(145))) * 0.5 / 5));
    EXPECT_EQ(table[300], P(150)); // taken over, not interpolated
    for (int i = 0; i <= 20; ++i)
        EXPECT_EQ(table[i], 0.0) << "bin " << i;
}

TEST(TissueTables, EnergiesAreReadInMeVAndExtraNumbersIgnored) {
    const auto tables =
        FromTexts("2, 12345\n0.01, 1, 2, 3\n0.2, 4, 5, 6\n7, 7, 7\n", PrimaryText(SteepFactor, 35));
    EXPECT_EQ(tables.RowCount, 2);
    EXPECT_EQ(tables.Rows[1].EnergyKeV, 10.0);
    EXPECT_EQ(tables.Rows[1].MuPart1, 1.0);
    EXPECT_EQ(tables.Rows[1].MuPart3, 3.0);
    EXPECT_EQ(tables.Rows[2].EnergyKeV, 200.0);
    EXPECT_EQ(tables.Rows[2].MuPart2, 5.0);
    EXPECT_EQ(tables.PrimaryDoseNodes[30], 7.503704); // the 29th record, as written
}

// Each partial coefficient is a straight line in log-log between two rows:
// halfway in the logarithm of the energy it is the geometric mean.
TEST(TissueTables, AttenuationIsLogLogBetweenRowsAndSummedOverTheParts) {
    const auto tables =
        FromTexts("3, 0\n0.01, 8, 1, 4\n0.04, 2, 4, 1\n0.16, 1, 1, 1\n", PrimaryText(SteepFactor));
    EXPECT_NEAR(veltrim::TissueAttenuation(tables.Rows, tables.RowCount, 20.0), 4 + 2 + 2, 1e-12);
    EXPECT_NEAR(veltrim::TissueAttenuation(tables.Rows, tables.RowCount, 10.0), 13.0, 1e-12);
    EXPECT_THROW(veltrim::TissueAttenuation(tables.Rows, tables.RowCount, 160.0),
                 std::runtime_error);
}

// A file that fails part-way must not leave its first rows behind: the state
// publishes tables only when both files were read (see the pipeline tests).
TEST(TissueTables, AFileThatFailsPartWayIsRefusedWhole) {
    const std::string tissue = veltrim::testing::SyntheticTissueText();
    // A row count that is no whole number from 1 to 37, or more rows than the file holds.
    for (const char* count : {"0", "-12", "12.5", "38", "1e9", "13"})
        EXPECT_THROW(FromTexts(count + tissue.substr(tissue.find(',')), PrimaryText(SteepFactor)),
                     veltrim::DataFileError)
            << count;
    EXPECT_THROW(FromTexts("3\n1\n0.010,9,9,9\n0.020,8,8,8\n", PrimaryText(SteepFactor)),
                 veltrim::DataFileError);
    EXPECT_THROW(FromTexts(tissue, PrimaryText([](int j) { return 7.0 * j; }, 20)),
                 veltrim::DataFileError);
    EXPECT_THROW(FromTexts(tissue, PrimaryText([](int j) { return j == 9 ? 0.0 : 1.0; })),
                 veltrim::DataFileError);
}

// Every data layout is written by the same module that reads it: what is
// written reads back to the same numbers, and writes again to the same bytes.
TEST(DataFormats, WhatIsWrittenReadsBackTheSame) {
    const auto tables =
        FromTexts(veltrim::testing::SyntheticTissueText(), PrimaryText(SteepFactor));
    const std::string tissueText = veltrim::TissueFileText(tables.Rows, tables.RowCount, 1.0);
    const std::string primaryText = veltrim::PrimaryDoseFileText(tables.PrimaryDoseNodes);
    const auto again = FromTexts(tissueText, primaryText);
    EXPECT_EQ(again.RowCount, tables.RowCount);
    EXPECT_EQ(again.Rows, tables.Rows);
    EXPECT_EQ(again.PrimaryDoseNodes, tables.PrimaryDoseNodes);
    EXPECT_EQ(veltrim::TissueFileText(again.Rows, again.RowCount, 1.0), tissueText);

    veltrim::NumberFile attenuationFile(
        "mu.dat", veltrim::testing::SyntheticAttenuationText(19.3, 5000, 0, 140));
    const veltrim::EnergyTable mu = veltrim::ReadAttenuationFile(attenuationFile);
    veltrim::NumberFile written("mu.dat", veltrim::BinTableText(mu));
    EXPECT_EQ(veltrim::ReadAttenuationFile(written), mu);

    const auto kernels = veltrim::testing::SyntheticKernels([](int e, int a, int c) {
        return c > 60 ? 0.0 : veltrim::testing::SyntheticKernel(e, a, c);
    });
    const std::string kernelText = veltrim::KernelFileText(kernels->Kernel(50));
    veltrim::ScatterKernelTable read{};
    veltrim::NumberFile kernelFile("50.dat", kernelText);
    veltrim::ReadKernelFile(kernelFile, read);
    EXPECT_EQ(veltrim::KernelFileText(read), kernelText);
    EXPECT_EQ(read[61][1], 0.0);
    EXPECT_NEAR(read[60][80], kernels->Kernel(50)[60][80], 1e-6 * read[60][80]);
}

} // namespace
