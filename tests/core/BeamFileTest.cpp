// Saved beams: what is written reads back to the same beam, and anything
// else (a later format, a damaged or foreign file, something that is not a
// regular file) is refused with a message naming the file.
#include "core/BeamFile.h"

#include "common/TempFolder.h"
#include "core/JsonReading.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

namespace {

using veltrim::BeamFileError;
using veltrim::SavedBeam;
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
    std::string good = veltrim::BeamFileBytes(OddBeam());
    const auto with = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const std::pair<std::string, std::string> refused[] = {
        {with("\"format\": 1", "\"format\": 2"), "newer version of Veltrim (format 2"},
        {with("\"format\": 1", "\"format\": 1.5"), "\"format\" is not a whole number"},
        {good.substr(0, good.size() / 2), "damaged"},
        {with("\"cu\"", "\"copper\""), "\"cu\" is missing"},
        {with("\"fsd\": \"100\"", "\"fsd\": 100"), "\"fsd\" is of the wrong kind"},
        {with("\"rectification\": 3", "\"rectification\": 4"), "not 1, 2 or 3"},
        {with("\"divergent\"", "\"wide\""), "neither classic nor divergent"},
        {with("\"output_distance_cm\": 75", "\"output_distance_cm\": -75"),
         "not a positive number"},
        {with("\"format\": 1,", "\"format\": 1, \"colour\": 1,"), "\"colour\" is no part"},
        {with("\"format\": 1,", "\"format\": 1, \"format\": 1,"), "given twice"},
        {with("\n}\n", ",\n}\n"), "a name in quotes expected"},
        {with("0.495", "0.495\xC0\xAF"), "not UTF-8 text"},
        {with("0.495", "\\ud800"), "a lone high surrogate"},
        {with("null", "1e999"), "beyond the range of doubles"},
        {with("null", "01"), "'}' expected"},
        {with("null", std::string(40, '[') + std::string(40, ']')), "nested too deeply"},
        {with("0.495", "\t"), "a control character"},
        {"[]", "it holds no object"},
        {"", "a value expected"},
    };
    for (const auto& [text, reason] : refused) {
        try {
            veltrim::ParseBeamFile(text, "room3.json");
            ADD_FAILURE() << "accepted: " << text;
        } catch (const BeamFileError& e) {
            const std::string message = e.what();
            EXPECT_EQ(message.rfind("The beam file \"room3.json\" was not opened: ", 0), 0u)
                << message;
            EXPECT_NE(message.find(reason), std::string::npos) << message;
        }
    }
    // Escapes the writer never makes still read as JSON says.
    EXPECT_EQ(veltrim::ParseJson(R"(["\u00e9\ud83d\ude00\/\b"])").Items[0].String,
              "\xC3\xA9\xF0\x9F\x98\x80/\b");
}

TEST(BeamFile, OnlyARegularFileOfABeamsSizeIsRead) {
    TempFolder dir;
    const auto refusedFor = [](const std::filesystem::path& file) {
        try {
            veltrim::ReadBeamFile(file);
        } catch (const BeamFileError& e) {
            return std::string(e.what());
        }
        return std::string("read");
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
