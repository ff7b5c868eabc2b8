// Reading a batch file into rows.
#include "cli/BatchInput.h"

#include "common/RefusalHelpers.h"

#include <gtest/gtest.h>

namespace {

using veltrim::BatchInputError;
using veltrim::BatchRow;
using veltrim::ReadBatchRows;

// A spreadsheet's export: byte order mark, CR LF, quoted cells, a header in
// its own case with blanks, blank lines between rows; the rows are numbered
// without the blank lines. A quoted number is that number, a number too
// small for a normal double is still one, and a clamp is the row's warning.
TEST(BatchInput, SpreadsheetExportsAreReadAsTheSpreadsheetWroteThem) {
    const std::vector<BatchRow> rows =
        ReadBatchRows("\xEF\xBB\xBF Field_Y ,\"KV\",rectification\r\n\r\n0,\" 120 \",\"3\"\r\n"
                      "   \r\n10,200, 2 \r\n1e-310,80,1\r\n");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].Number, 1);
    EXPECT_EQ(rows[0].Texts.FieldY, "0");
    EXPECT_EQ(rows[0].Texts.TubeVoltage, " 120 ");
    EXPECT_EQ(rows[0].Rectification, 3);
    EXPECT_FALSE(rows[0].Warning);
    EXPECT_EQ(rows[1].Number, 2);
    EXPECT_EQ(rows[1].Rectification, 2);
    EXPECT_EQ(rows[1].Warning, "kv \"200\" was held to 150 kV");
    EXPECT_EQ(rows[2].Texts.FieldY, "1e-310");
    EXPECT_EQ(ReadBatchRows("fsd\n\"80\"\n", true)[0].Texts.Fsd, "80");
    for (const BatchRow& row : rows) {
        EXPECT_FALSE(row.Problem) << row.Number << ": " << *row.Problem;
        // Columns left out keep the window's defaults.
        EXPECT_EQ(row.Texts.TargetAngle, "12");
        EXPECT_EQ(row.Texts.InherentFiltration, "2.5");
        EXPECT_EQ(row.Texts.FieldX, "30");
    }
}

// A cell that is not wholly a number fails its row, naming the column and
// the text, with or without --strict; the rows beside it are computed, and
// an empty condition cell is the column's default.
TEST(BatchInput, ACellThatIsNotWhollyANumberFailsItsRowNamingColumnAndText) {
    const std::vector<BatchRow> rows =
        ReadBatchRows("kv,al,mas,tube_output\n8O,,,\n80,\"2,5\",,\n80,,5O,1\n,1,,\n");
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].Problem, "kv takes a number, not \"8O\"");
    EXPECT_EQ(rows[1].Problem, "al takes a number, not \"2,5\"");
    EXPECT_EQ(rows[2].Problem, "mas takes a number, not \"5O\"");
    EXPECT_FALSE(rows[3].Problem);
    EXPECT_EQ(rows[3].Texts.TubeVoltage, "80");
    EXPECT_EQ(ReadBatchRows("kv\n9O\n", true)[0].Problem, "kv takes a number, not \"9O\"");
}

// Failures the calculation would not see: a wrong cell count (either way),
// a rectification the option buttons do not have.
TEST(BatchInput, ARowThatCannotBeComputedCarriesItsProblem) {
    const std::vector<BatchRow> rows = ReadBatchRows("kv,rectification\n80,2.0\n80,\n80\n90,2\n");
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].Problem.value_or(""), "rectification must be 1, 2 or 3, not \"2.0\"");
    EXPECT_NE(rows[1].Problem.value_or("").find("not \"\""), std::string::npos);
    EXPECT_NE(rows[2].Problem.value_or("").find("1 cells"), std::string::npos);
    EXPECT_FALSE(rows[3].Problem);

    // The dose's cells: numbers read strictly, an empty one left out, the
    // exposure given one way with its parts.
    const std::vector<BatchRow> dose = ReadBatchRows("kap,tube_output,mas,scatter_model,medium\n"
                                                     " 0.4 ,,, divergent, water\n"
                                                     "0.4 Gy cm2,,,,\n"
                                                     "0.4,40,20,,\n"
                                                     ",,20,,\n"
                                                     ",,,parallel,\n"
                                                     ",,,,perspex\n");
    ASSERT_EQ(dose.size(), 6u);
    ASSERT_TRUE(dose[0].Given && !dose[0].Problem);
    EXPECT_EQ(dose[0].Given->Value, 0.4);
    EXPECT_EQ(dose[0].Model, veltrim::ScatterModel::Divergent);
    EXPECT_EQ(dose[0].PhantomMedium, veltrim::Medium::Water);
    EXPECT_FALSE(dose[1].PhantomMedium);
    EXPECT_EQ(dose[1].Problem, "kap takes a number, not \"0.4 Gy cm2\"");
    EXPECT_NE(dose[2].Problem.value_or("").find("given twice"), std::string::npos);
    EXPECT_EQ(dose[3].Problem, "mas and output_distance go with tube_output only");
    EXPECT_EQ(dose[4].Problem, "scatter_model must be classic or divergent, not \"parallel\"");
    EXPECT_EQ(dose[5].Problem, "medium must be icru-4, icru-44, water or pmma, not \"perspex\"");
}

TEST(BatchInput, AFileWithoutAUsableHeaderIsRefusedNamingWhy) {
    auto problem = [](const std::string& text) {
        return veltrim::testing::RefusalOf<BatchInputError>([&] { ReadBatchRows(text); });
    };
    EXPECT_NE(problem("").find("no header"), std::string::npos);
    EXPECT_NE(problem("\r\n  \n").find("no header"), std::string::npos);
    EXPECT_NE(problem("kv,volts,al\n80,1,0\n").find("\"volts\""), std::string::npos);
    EXPECT_NE(problem("kv,al,\n").find("unknown column \"\""), std::string::npos);
    EXPECT_NE(problem("kv,al,KV\n").find("\"kv\" named twice"), std::string::npos);
    // A header alone is a batch of no rows.
    EXPECT_TRUE(ReadBatchRows("kv\r\n").empty());
}

} // namespace
