// The generator's physics and the xraylib adapter, against closed forms and
// the NIST tables the generator ties itself to.

#include "tools/datagen/EnergyAbsorption.h"
#include "tools/datagen/NistTable.h"
#include "tools/datagen/TissueRows.h"
#include "tools/xrl/XrayLib.h"

#include <cmath>
#include <fstream>
#include <gtest/gtest.h>

namespace {

namespace dg = veltrim::datagen;
namespace xrl = veltrim::xrl;

const std::filesystem::path NistDir = VELTRIM_NIST_DIR;

// Mean fraction of the photon energy given to a free electron, sigma_tr /
// sigma of Klein-Nishina in closed form (F. H. Attix, Introduction to
// Radiological Physics and Radiation Dosimetry, 1986, eqs. 7.18 and 7.23;
// 0.138 at 100 keV in his table 7.1). k = E / m c^2.
double KleinNishinaTransferFraction(double E) {
    const double k = E / 510.99895;
    const double l = std::log(1 + 2 * k);
    const double sigma = (1 + k) / (k * k) * (2 * (1 + k) / (1 + 2 * k) - l / k) + l / (2 * k) -
                         (1 + 3 * k) / ((1 + 2 * k) * (1 + 2 * k));
    const double transfer =
        2 * (1 + k) * (1 + k) / (k * k * (1 + 2 * k)) - (1 + 3 * k) / ((1 + 2 * k) * (1 + 2 * k)) -
        (1 + k) * (2 * k * k - 2 * k - 1) / (k * k * (1 + 2 * k) * (1 + 2 * k)) -
        4 * k * k / (3 * std::pow(1 + 2 * k, 3)) -
        ((1 + k) / (k * k * k) - 1 / (2 * k) + 1 / (2 * k * k * k)) * l;
    return transfer / sigma;
}

// Hydrogen's single electron is nearly free at 100-150 keV: the integral over
// Klein-Nishina x S(q) must land on the closed form. Binding removes the
// gentle forward scatters, so every bound fraction lies above it.
TEST(IncoherentEnergyTransfer, MatchesFreeElectronClosedFormAndLiesAboveItWhenBound) {
    EXPECT_NEAR(KleinNishinaTransferFraction(100.0), 0.138, 0.0005);
    for (double E : {100.0, 150.0}) {
        EXPECT_NEAR(dg::IncoherentEnergyTransferFraction(1, E) / KleinNishinaTransferFraction(E),
                    1.0, 0.003)
            << E << " keV";
    }
    for (int Z : {1, 6, 8}) {
        for (double E : {10.0, 30.0, 80.0}) {
            EXPECT_GT(dg::IncoherentEnergyTransferFraction(Z, E), KleinNishinaTransferFraction(E))
                << "Z " << Z << ", " << E << " keV";
        }
    }
}

TEST(NistTiedMuEn, ReproducesNistAtItsRowsAndKeepsTheArgonEdgeOnItsSide) {
    const dg::NistTiedMuEn tissue(xrl::IcruSoftTissue(),
                                  dg::ReadNistTable(NistDir / "nist-tissue-icru4.csv"));
    for (const dg::NistRow& row : tissue.Table().Rows) {
        if (row.EnergyKeV <= 150.0) {
            EXPECT_NEAR(tissue(row.EnergyKeV) / row.MuEnOverRho, 1.0, 1e-12)
                << row.EnergyKeV << " keV";
        }
    }
    // The computation alone is already within 1 % of NIST for this tissue.
    for (double ratio : tissue.Ratios()) {
        EXPECT_NEAR(ratio, 1.0, 0.01);
    }

    // Air: NIST gives 133.0 below and 146.0 cm2/g above the argon K edge at
    // 3.2029 keV, then 76.36 at 4 keV. 3.5 keV lies on the upper side: its
    // value must continue the upper branch (log-log gives 105.9), not the
    // lower one.
    const dg::NistTiedMuEn air(xrl::DryAir(), dg::ReadNistTable(NistDir / "nist-air-dry.csv"));
    const double upperBranch =
        std::exp(std::log(146.0) + std::log(3.5 / 3.2029) / std::log(4.0 / 3.2029) *
                                       (std::log(76.36) - std::log(146.0)));
    EXPECT_NEAR(air(3.5) / upperBranch, 1.0, 0.03);
    EXPECT_NEAR(air(3.0) / 161.4, 1.0, 1e-12);
}

TEST(NistTable, RejectsFallingEnergiesAndMissingFiles) {
    const auto path = std::filesystem::temp_directory_path() / "veltrim-nist-falling.csv";
    {
        std::ofstream out(path);
        out << "# test\nenergy_MeV,mu_over_rho,mu_en_over_rho\n2.0E-02,1,1\n1.0E-02,2,2\n";
    }
    EXPECT_THROW(dg::ReadNistTable(path), std::runtime_error);
    std::filesystem::remove(path);
    EXPECT_THROW(dg::ReadNistTable(path), std::runtime_error);
}

TEST(TissueRows, InterpolationIsExactAtRowsAndRefusesEnergiesAtTheLastRow) {
    const xrl::Material tissue = xrl::IcruSoftTissue();
    const std::vector<dg::TissueRow> rows{dg::PartialCoefficients(tissue, 10.0),
                                          dg::PartialCoefficients(tissue, 20.0),
                                          dg::PartialCoefficients(tissue, 40.0)};
    const dg::TissueRow& middle = rows[1];
    EXPECT_NEAR(dg::InterpolatedTotal(rows, 20.0),
                middle.Coherent + middle.Incoherent + middle.Photoelectric, 1e-15);
    EXPECT_NEAR(dg::InterpolatedTotal(rows, 20.0) / xrl::LinearAttenuation(tissue, 20.0), 1.0,
                1e-12);
    EXPECT_THROW(dg::InterpolatedTotal(rows, 40.0), std::runtime_error);
}

// More rows must never make the fit worse, and the chosen energies keep the
// reader's requirements: first at 10 keV, last at the given energy above
// 150 keV, rising, no more than asked for.
TEST(TissueRows, ChosenEnergiesMeetTheReaderAndImproveWithMoreRows) {
    const xrl::Material tissue = xrl::IcruSoftTissue();
    double previousError = 1.0;
    for (int maxRows : {12, 20, 37}) {
        const std::vector<double> energies = dg::ChooseTissueEnergies(tissue, maxRows, 160.0);
        ASSERT_LE(static_cast<int>(energies.size()), maxRows);
        EXPECT_EQ(energies.front(), 10.0);
        EXPECT_EQ(energies.back(), 160.0);
        std::vector<dg::TissueRow> rows;
        for (std::size_t k = 0; k < energies.size(); ++k) {
            if (k > 0) {
                EXPECT_GT(energies[k], energies[k - 1]);
            }
            rows.push_back(dg::PartialCoefficients(tissue, energies[k]));
        }
        const double error = dg::MeasureInterpolationError(rows, tissue).MaxRelative;
        EXPECT_LE(error, previousError) << maxRows << " rows";
        previousError = error;
    }
    EXPECT_LT(previousError, 0.002);
    EXPECT_THROW(dg::ChooseTissueEnergies(tissue, 37, 150.0), std::invalid_argument);
}

TEST(XrayLibAdapter, TurnsErrorsIntoExceptionsAndSumsMixturesByMass) {
    EXPECT_THROW(xrl::CS_Total(200, 50.0), xrl::XrayLibError);
    EXPECT_THROW(xrl::SF_Compt(8, 0.0), xrl::XrayLibError);
    EXPECT_THROW(xrl::NistCompound("no such compound"), xrl::XrayLibError);
    EXPECT_EQ(xrl::DCS_ComptAnyAngle(8, 50.0, 0.0), 0.0);
    EXPECT_DOUBLE_EQ(xrl::DCS_ComptAnyAngle(8, 50.0, 1.0), xrl::DCS_Compt(8, 50.0, 1.0));

    const xrl::Material tissue = xrl::IcruSoftTissue();
    double sum = 0.0;
    double fractions = 0.0;
    for (const xrl::Constituent& c : tissue.Elements) {
        sum += c.MassFraction * xrl::CS_Total(c.Z, 60.0);
        fractions += c.MassFraction;
    }
    EXPECT_NEAR(fractions, 1.0, 1e-12);
    EXPECT_DOUBLE_EQ(xrl::CS_Total(tissue, 60.0), sum);
    const double parts =
        xrl::CS_Rayl(tissue, 60.0) + xrl::CS_Compt(tissue, 60.0) + xrl::CS_Photo(tissue, 60.0);
    EXPECT_NEAR(parts / xrl::CS_Total(tissue, 60.0), 1.0, 1e-9);
    EXPECT_DOUBLE_EQ(xrl::LinearAttenuation(xrl::Tungsten(), 60.0), 19.3 * xrl::CS_Total(74, 60.0));
}

} // namespace
