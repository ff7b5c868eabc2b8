#include "common/ShippedData.h"
#include "common/TempFolder.h"
#include "engine/DataLocation.h"
#include "report/ReportContent.h"
#include "report/ReportTexts.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

using namespace veltrim;

const ReportSection* SectionTitled(const ReportContent& report, ReportText title, Language l) {
    const auto found =
        std::find_if(report.Sections.begin(), report.Sections.end(),
                     [&](const ReportSection& s) { return s.Title == ReportWording(title, l); });
    return found == report.Sections.end() ? nullptr : &*found;
}

const std::string* ValueOf(const ReportSection& section, const std::string& label) {
    for (const ReportLine& line : section.Lines)
        if (line.Label == label)
            return &line.Value;
    return nullptr;
}

// The single beam's report opens with the patient, the examination, when it
// was made and who signs it (a blank identifier left out, not printed
// empty), names its data set by checksum, and gives the dose at the depth
// asked and at each typed point in the order typed, in mGy.
TEST(BeamReport, HeadsWithItsIdentifiersAndHoldsTheAskedDepthAndPoints) {
    const std::shared_ptr<const ModelData> data = ModelData::Load(veltrim::testing::ShippedData);
    IrradiationConditions conditions;
    ConditionTexts texts;
    texts.FieldX = "10";
    texts.FieldY = "10";
    ReadConditions(texts, conditions);
    const std::vector<PhantomPoint> points{{0.0, 0.0, 5.0}, {15.0, 0.0, 5.0}};
    CalculationOptions options;
    options.Absolute = true;
    options.Given = Exposure{ExposureKind::IncidentAirKerma, 2.0};
    options.Points = points;
    ReportRequest request;
    request.Typed = texts;
    request.Header = {"P-17", "", "2026-12-01", "A. Curie", "2026-12-09 06:00 UTC", "sha256:0f"};
    request.DoseFromCm = 5.0;
    request.Points = points;
    for (const Language l : {Language::English, Language::Japanese}) {
        request.Edition = l;
        const ReportContent report = ReportOf(CalculateBeam(conditions, options, *data), request);
        const auto word = [l](ReportText text) { return ReportWording(text, l); };
        ASSERT_FALSE(report.Sections.empty());
        const ReportSection& head = report.Sections.front();
        EXPECT_EQ(head.Title, word(ReportText::Identification));
        EXPECT_EQ(*ValueOf(head, word(ReportText::PatientId)), "P-17");
        EXPECT_EQ(*ValueOf(head, word(ReportText::ExamDate)), "2026-12-01");
        EXPECT_EQ(*ValueOf(head, word(ReportText::ReportMade)), "2026-12-09 06:00 UTC");
        EXPECT_EQ(*ValueOf(head, word(ReportText::Physicist)), "A. Curie");
        EXPECT_EQ(ValueOf(head, word(ReportText::Examination)), nullptr);
        EXPECT_NE(report.Program.find("sha256:0f"), std::string::npos);
        EXPECT_EQ(report.Program.find(veltrim::testing::ShippedData.string()), std::string::npos);

        const ReportSection* doses = SectionTitled(report, ReportText::Doses, l);
        ASSERT_NE(doses, nullptr);
        EXPECT_NE(ValueOf(*doses, ReportWording(ReportText::DoseAt, l, "5")), nullptr);
        const ReportSection* at = SectionTitled(report, ReportText::Points, l);
        ASSERT_NE(at, nullptr);
        ASSERT_EQ(at->Lines.size(), 2u);
        EXPECT_EQ(at->Lines[0].Label, ReportWording(ReportText::PointAt, l, "0, 0, 5"));
        EXPECT_EQ(at->Lines[1].Label, ReportWording(ReportText::PointAt, l, "15, 0, 5"));
        // Beyond the 10 cm field's edge the dose is scatter alone: far less.
        const double axis = std::stod(at->Lines[0].Value), beside = std::stod(at->Lines[1].Value);
        EXPECT_NE(at->Lines[0].Value.find(" mGy"), std::string::npos);
        EXPECT_GT(beside, 0.0);
        EXPECT_LT(beside, 0.2 * axis);
    }
}

// The identity is the checksum of a sha256sum manifest of the folder, so a
// physicist can check it by hand; it follows the files, not their place.
TEST(DataIdentity, IsTheChecksumOfTheFoldersSha256sumManifest) {
    const veltrim::testing::TempFolder one, two;
    for (const auto* folder : {&one, &two}) {
        folder->Write("a.dat", "1 2 3\n");
        folder->Write("media/water/b.dat", "4\n");
    }
    // find . -type f | sed 's|^\./||' | LC_ALL=C sort | xargs sha256sum | sha256sum
    const std::string identity =
        "sha256:d742fe4ac3b03a9a8fae71a73c98ffbf9963f2f1a43490975339688490b21c6f";
    EXPECT_EQ(DataIdentity(one.Path()), identity);
    EXPECT_EQ(DataIdentity(two.Path()), identity);
    two.Write("media/water/b.dat", "5\n");
    EXPECT_NE(DataIdentity(two.Path()), identity);
}

} // namespace
