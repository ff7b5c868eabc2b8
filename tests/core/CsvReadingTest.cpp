// CSV as spreadsheets write it, read by the reader of every CSV the program takes.
#include "core/CsvReading.h"

#include <gtest/gtest.h>

namespace {

using veltrim::CsvRecords;
using Cells = std::vector<std::string>;

TEST(CsvReading, QuotedCellsHoldCommasQuotesAndLineEnds) {
    const auto records =
        CsvRecords("\xEF\xBB\xBFkv,\"note\"\r\n\"80\",\"a, \"\"b\"\"\"\r\n90,\"two\r\nlines\"\r\n"
                   " \"100\" ,\"\"\r\n");
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].Cells, (Cells{"kv", "note"})) << "the byte order mark is no text";
    EXPECT_EQ(records[1].Cells, (Cells{"80", "a, \"b\""}));
    EXPECT_EQ(records[2].Cells, (Cells{"90", "two\nlines"}));
    EXPECT_EQ(records[3].Cells, (Cells{"100", ""})) << "blanks around quotes are not the cell's";
    for (const auto& record : records)
        EXPECT_FALSE(record.Problem) << *record.Problem;
}

TEST(CsvReading, UnquotedCellsKeepTheirTextAndBlankLinesAreMarked) {
    const auto records = CsvRecords("a, b ,\r\n \t\r\n\nx\"y,z");
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].Cells, (Cells{"a", " b ", ""}));
    EXPECT_TRUE(records[1].Blank);
    EXPECT_TRUE(records[2].Blank);
    EXPECT_FALSE(records[0].Blank);
    // A quote inside an unquoted cell opens nothing.
    EXPECT_EQ(records[3].Cells, (Cells{"x\"y", "z"}));
}

TEST(CsvReading, TextAfterAClosingQuoteAndAQuoteLeftOpenAreProblems) {
    const auto after = CsvRecords("\"80\"kV,1\n2,3\n");
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0].Problem, "text after the closing quote of cell 1");
    EXPECT_FALSE(after[1].Problem);
    const auto open = CsvRecords("1,\"open\n2,3\n");
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(open[0].Problem, "a quoted cell is not closed");
}

} // namespace
