// The real records of several vendors beside the checkout (../shared/rdsr),
// when they are there: each read as DCMTK's own dump tool lists it.

#include "common/RefusalHelpers.h"
#include "dicom/DoseRecord.h"
#include "dicom/EventExposure.h"
#include "dicom/StudyJson.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <numeric>

namespace veltrim {
namespace {

const std::filesystem::path Records =
    std::filesystem::path(VELTRIM_SOURCE_DIR) / ".." / "shared" / "rdsr";

#define SKIP_WITHOUT_RECORDS()                                                                     \
    if (!std::filesystem::is_directory(Records))                                                   \
    GTEST_SKIP() << "no records at " << Records

// What `dsrdump --ignore-item-errors --skip-invalid-items` lists of each
// event: kVp values, the kerma-area product and each filter, in the units
// the file gives (converted here by a table of the units these files use).
struct DumpedEvent {
    std::vector<double> Kvp;
    std::optional<double> KapGycm2;
    double KapHalfDigit = 0.0; // half a unit of the last digit written, Gy cm2
    std::map<std::string, std::pair<double, int>> FilterMm; // metal -> sum of min+max, count
};

double DumpedUnit(const std::string& unit) {
    static const std::map<std::string, double> units = {
        {"Gy.m2", 1e4}, {"Gym2", 1e4}, {"dGy.cm2", 0.1}, {"kV", 1.0}, {"mm", 1.0}};
    return units.at(unit);
}

// Half a unit of the last digit of a decimal text ("0.000003", "1.6e-005").
double HalfDigit(const std::string& text) {
    const std::size_t e = text.find_first_of("eE");
    const std::string mantissa = text.substr(0, e);
    const std::size_t point = mantissa.find('.');
    const int decimals = point == std::string::npos ? 0 : int(mantissa.size() - point - 1);
    const int exponent = e == std::string::npos ? 0 : std::stoi(text.substr(e + 1));
    return 0.5 * std::pow(10.0, exponent - decimals);
}

struct Dumped {
    std::vector<DumpedEvent> Events;
    double TotalHalfDigit = 0.0;
};

Dumped Dump(const std::filesystem::path& file) {
    const std::string command =
        "dsrdump --ignore-item-errors --skip-invalid-items '" + file.string() + "' 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    Dumped dumped;
    std::vector<DumpedEvent>& events = dumped.Events;
    std::string metal;
    char line[4096];
    while (pipe && fgets(line, sizeof line, pipe.get())) {
        const std::string text = line;
        if (text.find("\"Irradiation Event X-Ray Data\")") != std::string::npos) {
            events.emplace_back();
            continue;
        }
        if (events.empty())
            continue;
        if (text.find("\"X-Ray Filter Material\")") != std::string::npos)
            metal = text.find("Copper") != std::string::npos ? "Cu" : "Al";
        // NUM:(,,"NAME")="VALUE" (UNIT,...
        const std::size_t at = text.find("NUM:(,,\"");
        if (at == std::string::npos || text.rfind("    ", 0) != 0)
            continue;
        const std::size_t nameEnd = text.find("\")=\"", at);
        const std::size_t valueEnd = text.find("\" (", nameEnd + 4);
        const std::size_t unitEnd = text.find(',', valueEnd);
        if (nameEnd == std::string::npos || valueEnd == std::string::npos ||
            unitEnd == std::string::npos)
            continue;
        const std::string name = text.substr(at + 8, nameEnd - at - 8);
        const std::string valueText = text.substr(nameEnd + 4, valueEnd - nameEnd - 4);
        const std::string unit = text.substr(valueEnd + 3, unitEnd - valueEnd - 3);
        if (name == "Dose Area Product Total")
            dumped.TotalHalfDigit = HalfDigit(valueText) * DumpedUnit(unit);
        if (name != "KVP" && name != "Dose Area Product" &&
            name.rfind("X-Ray Filter Thickness", 0) != 0)
            continue;
        const double value = std::stod(valueText) * DumpedUnit(unit);
        if (name == "KVP")
            events.back().Kvp.push_back(value);
        else if (name == "Dose Area Product") {
            events.back().KapGycm2 = value;
            events.back().KapHalfDigit = HalfDigit(valueText) * DumpedUnit(unit);
        } else if (name.rfind("X-Ray Filter Thickness", 0) == 0) {
            auto& [sum, count] = events.back().FilterMm[metal];
            sum += value;
            ++count;
        }
    }
    return dumped;
}

TEST(SharedRecords, EachProjectionRecordReadsAsDcmtksDumpListsIt) {
    SKIP_WITHOUT_RECORDS();
    if (std::system("dsrdump --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no dsrdump (package dcmtk)";
    // The events each holds, as the folder's README counts them.
    const std::map<std::string, std::size_t> counts = {
        {"DX-RDSR-Canon_CXDI.dcm", 1},     {"DX-RDSR-Carestream_DRXEvolution.dcm", 5},
        {"Dual-RDSR-DX.dcm", 1},           {"Dual-RDSR-RF.dcm", 4},
        {"RF-RDSR-Siemens-Zee.dcm", 8},    {"RF-RDSR-GE.dcm", 8},
        {"RF-RDSR-Philips_Allura.dcm", 3}, {"RF-RDSR-Eurocolumbus.dcm", 4},
        {"RF-No-kVp-and-others.dcm", 20}};
    for (const auto& [name, count] : counts) {
        SCOPED_TRACE(name);
        const DoseRecord record = ReadDoseRecord(Records / name);
        const Dumped dump = Dump(Records / name);
        const std::vector<DumpedEvent>& dumped = dump.Events;
        ASSERT_EQ(record.Events.size(), count);
        ASSERT_EQ(dumped.size(), count);
        for (std::size_t i = 0; i < count; ++i) {
            const IrradiationEvent& e = record.Events[i];
            const DumpedEvent& d = dumped[i];
            SCOPED_TRACE("event " + std::to_string(i + 1));
            ASSERT_EQ(e.Kvp.has_value(), !d.Kvp.empty());
            if (e.Kvp) {
                const double sum = std::accumulate(d.Kvp.begin(), d.Kvp.end(), 0.0);
                EXPECT_NEAR(*e.Kvp, sum / static_cast<double>(d.Kvp.size()), 1e-9);
            }
            ASSERT_EQ(e.KapGycm2.has_value(), d.KapGycm2.has_value());
            if (e.KapGycm2) {
                EXPECT_NEAR(*e.KapGycm2, *d.KapGycm2, 1e-12 * std::abs(*d.KapGycm2));
            }
            for (const auto& [metal, mm] : {std::pair{"Cu", e.CuMm}, std::pair{"Al", e.AlMm}}) {
                const auto found = d.FilterMm.find(metal);
                EXPECT_EQ(mm.has_value(), found != d.FilterMm.end()) << metal;
                if (mm && found != d.FilterMm.end()) {
                    // One thickness per filter: the mean of its minimum and maximum.
                    const auto [sum, values] = found->second;
                    EXPECT_NEAR(*mm, values == 1 ? sum : sum / 2.0, 1e-12) << metal;
                }
            }
        }
        // The record's own total is the sum of its events, to the digits they give
        // and 2 %: one unit's total is 1.4 % above the sum of its events' rounded
        // values, more than their last digits allow.
        if (record.AccumulatedKapGycm2) {
            double rounding = dump.TotalHalfDigit;
            for (const DumpedEvent& d : dumped)
                rounding += d.KapHalfDigit;
            EXPECT_NEAR(*EventsKapGycm2(record), *record.AccumulatedKapGycm2,
                        rounding + 0.02 * *record.AccumulatedKapGycm2);
        }
        EXPECT_NO_THROW(EventExposures(record, {22.0, 34.0}));
    }
}

TEST(SharedRecords, CtAndMammographyAreRefusedByName) {
    SKIP_WITHOUT_RECORDS();
    const std::pair<const char*, const char*> refused[] = {
        {"CT-RDSR-Siemens-Multi-1.dcm", "CT record"},
        {"MG-RDSR-Hologic_2D.dcm", "mammography record"}};
    for (const auto& [name, kind] : refused) {
        const std::string why =
            testing::RefusalOf<DoseRecordError>([&] { ReadDoseRecord(Records / name); });
        EXPECT_NE(why.find(kind), std::string::npos) << name << ": " << why;
    }
}

TEST(SharedRecords, EachRadiographHeaderGivesOneExposureWithItsKvpAndAreaDoseProduct) {
    SKIP_WITHOUT_RECORDS();
    // KVP (kV) and ImageAndFluoroscopyAreaDoseProduct (dGy cm2) of each header.
    const std::tuple<const char*, double, double> headers[] = {
        {"DX-Im-GE_XR220-1.dcm", 69.639999, 0.41}, {"DX-Im-Carestream_DR7500-1.dcm", 80.0, 11.013}};
    for (const auto& [name, kv, dgycm2] : headers) {
        SCOPED_TRACE(name);
        const DoseRecord record = ReadDoseRecord(Records / name);
        const auto exposures = EventExposures(record, {22.0, 34.0});
        ASSERT_EQ(exposures.size(), 1u);
        EXPECT_EQ(exposures[0].Kv, kv);
        EXPECT_DOUBLE_EQ(*exposures[0].KapGycm2, dgycm2 / 10.0);
    }
}

} // namespace
} // namespace veltrim
