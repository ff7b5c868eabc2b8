// Saved beams: what is written reads back to the same beam, and anything
// else (a later format, a damaged or foreign file, something that is not a
// regular file) is refused with a message naming the file.
#include "files/BeamFile.h"

#include "common/RefusalHelpers.h"
#include "common/TempFolder.h"
#include "core/JsonReading.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {

using veltrim::BeamFileError;
using veltrim::SavedBeam;
using veltrim::testing::RefusalOf;
using veltrim::testing::TempFolder;

SavedBeam OddBeam() {
    SavedBeam beam;
    beam.Name = "撮影室 3 \"table\" \\ \x01";
    beam.Texts.TubeVoltage = " 80 kV";
    beam.Texts.AlFilter = "0.495";
    beam.Texts.FieldY = "";
    beam.Rectification = veltrim::RectificationMethod::SinglePhaseFullWave;
    beam.DivergentScatter = true;
    beam.MeasuredHvl1MmAl = 0.1 + 0.2;
    beam.OutputDistanceCm = 75.0;
    beam.PhantomMedium = veltrim::Medium::Pmma;
    beam.ThicknessCm = 22.5;
    beam.Exposure.TubeOutput = 1.0 / 3;
    beam.Exposure.Mas = 0.1 * 3;
    beam.AirCm = 0.0;
    return beam;
}

void ExpectSame(const SavedBeam& a, const SavedBeam& b) {
    EXPECT_EQ(a.Name, b.Name);
    for (const veltrim::ConditionTextField& field : veltrim::ConditionTextFields)
        EXPECT_EQ(a.Texts.*field.Text, b.Texts.*field.Text) << field.Name;
    EXPECT_EQ(a.Rectification, b.Rectification);
    EXPECT_EQ(a.DivergentScatter, b.DivergentScatter);
    EXPECT_EQ(a.MeasuredHvl1MmAl, b.MeasuredHvl1MmAl);
    EXPECT_EQ(a.TubeOutputUgyPerMas, b.TubeOutputUgyPerMas);
    EXPECT_EQ(a.OutputDistanceCm, b.OutputDistanceCm);
    EXPECT_EQ(a.PhantomMedium, b.PhantomMedium);
    EXPECT_EQ(a.ThicknessCm, b.ThicknessCm);
    EXPECT_EQ(a.AirCm, b.AirCm);
    EXPECT_EQ(a.Exposure.AirKermaMgy, b.Exposure.AirKermaMgy);
    EXPECT_EQ(a.Exposure.TubeOutput, b.Exposure.TubeOutput);
    EXPECT_EQ(a.Exposure.Mas, b.Exposure.Mas);
    EXPECT_EQ(a.Exposure.OutputDistanceCm, b.Exposure.OutputDistanceCm);
    EXPECT_EQ(a.Exposure.KapGyCm2, b.Exposure.KapGyCm2);
    EXPECT_EQ(a.Exposure.EsakMgy, b.Exposure.EsakMgy);
}

TEST(BeamFile, WhatIsWrittenReadsBackToTheSameBeamToTheBit) {
    TempFolder dir;
    const SavedBeam beam = OddBeam();
    const auto file = dir.Write("room3.json", veltrim::BeamFileBytes(beam));
    ExpectSame(veltrim::ReadBeamFile(file), beam);
    ExpectSame(veltrim::ParseBeamFile(veltrim::BeamFileBytes(SavedBeam{}), "x"), SavedBeam{});
}

// Each refused with the file's name and the reason; a later format is told
// apart from damage.
TEST(BeamFile, ALaterFormatOrADamagedFileIsRefusedWithTheReason) {
    const std::string good = veltrim::BeamFileBytes(OddBeam());
    // Edits of a good file, each its first `From` made `To`, with the reason.
    struct Edit {
        std::string From, To, Reason;
    };
    const Edit edits[] = {
        {"\"format\": 2", "\"format\": 3", "newer version of Veltrim (format 3"},
        {"\"format\": 2", "\"format\": 1.5", "\"format\" is not a whole number"},
        // A format-1 file holds nothing of what format 2 added.
        {"\"format\": 2", "\"format\": 1", "\"medium\" is no part of a beam"},
        {"\"pmma\"", "\"lead\"", "\"medium\" is none of"},
        {"\"mas\": 0.3", "\"kap_gy_cm2\": 1", "was given twice"},
        {", \"mas\": 0.3", "", "needs"},
        {"\"air_cm\": 0", "\"air_cm\": -1", "\"air_cm\" is negative"},
        {"\"cu\"", "\"copper\"", "\"cu\" is missing"},
        {"\"fsd\": \"100\"", "\"fsd\": 100", "\"fsd\" is of the wrong kind"},
        {"\"rectification\": 3", "\"rectification\": 4", "not 1, 2 or 3"},
        {"\"divergent\"", "\"wide\"", "neither classic nor divergent"},
        {"\"output_distance_cm\": 75", "\"output_distance_cm\": -75", "not a positive number"},
        {"\"format\": 2,", "\"format\": 2, \"colour\": 1,", "\"colour\" is no part"},
        {"\"format\": 2,", "\"format\": 2, \"format\": 2,", "given twice"},
        {"\n}\n", ",\n}\n", "a name in quotes expected"},
        {"0.495", "0.495\xC0\xAF", "not UTF-8 text"},
        {"0.495", "\\ud800", "a lone high surrogate"},
        {"null", "1e999", "beyond the range of doubles"},
        {"null", "01", "'}' expected"},
        {"null", std::string(40, '[') + std::string(40, ']'), "nested too deeply"},
        {"0.495", "\t", "a control character"},
    };
    std::vector<std::pair<std::string, std::string>> refused = {
        {good.substr(0, good.size() / 2), "damaged"},
        {"[]", "it holds no object"},
        {"", "a value expected"},
    };
    for (const Edit& edit : edits) {
        std::string text = good;
        text.replace(text.find(edit.From), edit.From.size(), edit.To);
        refused.emplace_back(text, edit.Reason);
    }
    for (const auto& [text, reason] : refused) {
        const std::string message =
            RefusalOf<BeamFileError>([&] { veltrim::ParseBeamFile(text, "room3.json"); });
        EXPECT_EQ(message.rfind("The beam file \"room3.json\" was not opened: ", 0), 0u)
            << message << "\nfor " << text;
        EXPECT_NE(message.find(reason), std::string::npos) << message;
    }
    // Escapes the writer never makes still read as JSON says.
    EXPECT_EQ(veltrim::ParseJson(R"(["\u00e9\ud83d\ude00\/\b"])").Items[0].String,
              "\xC3\xA9\xF0\x9F\x98\x80/\b");
}

// The files saved before the medium, thickness, exposure and air path were
// kept read as what their numbers were computed with.
TEST(BeamFile, AFormatOneFileKeepsItsOldMeaning) {
    const SavedBeam old = veltrim::ParseBeamFile(R"({"format": 1, "name": "old",
        "conditions": {"kv": "90", "angle": "12", "inherent": "2.5", "al": "1", "cu": "0",
                       "fsd": "100", "field_x": "20", "field_y": "20", "rectification": 2},
        "scatter_model": "divergent", "measured_hvl1_mm_al": 3.1,
        "tube_output_ugy_per_mas": 48.5, "output_distance_cm": null})",
                                                 "old.json");
    EXPECT_EQ(old.Texts.TubeVoltage, "90");
    EXPECT_TRUE(old.DivergentScatter);
    EXPECT_EQ(old.PhantomMedium, veltrim::Medium::IcruFourComponent);
    EXPECT_FALSE(old.ThicknessCm || old.AirCm || veltrim::ExposureOf(old.Exposure));
    EXPECT_EQ(old.TubeOutputUgyPerMas, 48.5);
}

// JSON holds only UTF-8: a typed condition that is not is refused with its
// name (the numbers depend on it); a name, a label, keeps what it can.
TEST(BeamFile, TextsThatAreNotUtf8AreRefusedOrReplacedAtSave) {
    SavedBeam beam;
    beam.Texts.FieldX = "3\xFF"
                        "0";
    const std::string refused = RefusalOf<BeamFileError>([&] { veltrim::BeamFileBytes(beam); });
    EXPECT_NE(refused.find("field_x, \"3\\xFF0\""), std::string::npos) << refused;
    beam.Texts.FieldX = "30";
    beam.Name = "caf\xE9 \xE6\x97\xA5";
    EXPECT_EQ(veltrim::ParseBeamFile(veltrim::BeamFileBytes(beam), "x").Name,
              "caf\xEF\xBF\xBD \xE6\x97\xA5");
}

TEST(BeamFile, OnlyARegularFileOfABeamsSizeIsRead) {
    TempFolder dir;
    const auto refusedFor = [](const std::filesystem::path& file) {
        return RefusalOf<BeamFileError>([&] { veltrim::ReadBeamFile(file); });
    };
    EXPECT_NE(refusedFor(dir / "none.json").find("does not exist"), std::string::npos);
    std::filesystem::create_directory(dir / "folder.json");
    EXPECT_NE(refusedFor(dir / "folder.json").find("a folder, not a regular file"),
              std::string::npos);
    ASSERT_EQ(::mkfifo((dir / "pipe.json").c_str(), 0600), 0);
    EXPECT_NE(refusedFor(dir / "pipe.json").find("not a regular file"), std::string::npos);
    const auto large = dir.Write("large.json", std::string(veltrim::MaxBeamFileBytes + 1, ' '));
    EXPECT_NE(refusedFor(large).find("larger than a beam file can be"), std::string::npos);
}

} // namespace
