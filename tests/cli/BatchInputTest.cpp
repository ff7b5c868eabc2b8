// Reading a batch file into rows.
#include "cli/BatchInput.h"

#include <gtest/gtest.h>

namespace {

using veltrim::BatchInputError;
using veltrim::BatchRow;
using veltrim::ReadBatchRows;

// A spreadsheet's export: byte order mark, CR LF, a header in its own case
// with blanks, blank lines between rows. Cells go to the fields as they are
// (the lenient reading is the calculation's), and the rows are numbered
// without the blank lines.
TEST(BatchInput, SpreadsheetExportsAreReadWithTheirCellsAsTyped) {
    const std::vector<BatchRow> rows =
        ReadBatchRows("\xEF\xBB\xBF Field_Y ,KV,rectification\r\n\r\n0, 120 kV ,3\r\n"
                      "   \r\n10,200, 2 \r\n,abc,1");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].Number, 1);
    EXPECT_EQ(rows[0].Texts.FieldY, "0");
    EXPECT_EQ(rows[0].Texts.TubeVoltage, " 120 kV ");
    EXPECT_EQ(rows[0].Rectification, 3);
    EXPECT_EQ(rows[1].Number, 2);
    EXPECT_EQ(rows[1].Rectification, 2);
    EXPECT_EQ(rows[2].Number, 3);
    EXPECT_EQ(rows[2].Texts.FieldY, "30"); // an empty cell is the column's default
    EXPECT_EQ(rows[2].Texts.TubeVoltage, "abc");
    // Characters the lenient reading ignores, and the clamp, are the rows' warnings.
    EXPECT_EQ(rows[0].Warning, "kv \" 120 kV \" was read as 120");
    EXPECT_EQ(rows[1].Warning, "kv \"200\" was held to 150 kV");
    EXPECT_EQ(rows[2].Warning, "kv \"abc\" was read as 0; kv \"abc\" was held to 30 kV");
    EXPECT_EQ(ReadBatchRows("fsd\n\"80\"\n", true)[0].Problem, "fsd \"\"80\"\" is not a number");
    for (const BatchRow& row : rows) {
        EXPECT_FALSE(row.Problem) << row.Number << ": " << *row.Problem;
        // Columns left out keep the window's defaults.
        EXPECT_EQ(row.Texts.TargetAngle, "12");
        EXPECT_EQ(row.Texts.InherentFiltration, "2.5");
        EXPECT_EQ(row.Texts.FieldX, "30");
    }
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
    EXPECT_EQ(dose[1].Problem, "kap must be a number, not \"0.4 Gy cm2\"");
    EXPECT_NE(dose[2].Problem.value_or("").find("given twice"), std::string::npos);
    EXPECT_EQ(dose[3].Problem, "mas and output_distance go with tube_output only");
    EXPECT_EQ(dose[4].Problem, "scatter_model must be classic or divergent, not \"parallel\"");
    EXPECT_EQ(dose[5].Problem, "medium must be icru-4, icru-44, water or pmma, not \"perspex\"");
}

TEST(BatchInput, AFileWithoutAUsableHeaderIsRefusedNamingWhy) {
    auto problem = [](const std::string& text) -> std::string {
        try {
            ReadBatchRows(text);
        } catch (const BatchInputError& e) {
            return e.what();
        }
        return "accepted";
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
