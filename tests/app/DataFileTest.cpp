#include "app/DataFile.h"
#include "common/TempFolder.h"

#include <gtest/gtest.h>

namespace {

using veltrim::DataFileError;
using veltrim::NumberFile;
using veltrim::testing::TempFolder;

TEST(NumberFile, ReadsNumbersSeparatedByCommasBlanksAndLineBreaks) {
    TempFolder dir;
    NumberFile file(dir.Write("a.dat", "\xEF\xBB\xBF" "1,2.5 \t-3e2\r\n+4.25E-1,,\n\n.5\n"));
    EXPECT_EQ(file.Next(), 1.0);
    EXPECT_EQ(file.Next(), 2.5);
    EXPECT_EQ(file.Next(), -300.0);
    EXPECT_EQ(file.Next(), 0.425);
    EXPECT_EQ(file.Next(), 0.5);
    EXPECT_EQ(file.Count(), 5u);
    EXPECT_THROW(file.Next(), DataFileError);
}

TEST(NumberFile, TextAfterTheLastNumberReadIsNeverLookedAt) {
    TempFolder dir;
    NumberFile file(dir.Write("a.dat", "1 2 garbage"));
    EXPECT_EQ(file.Next(), 1.0);
    EXPECT_EQ(file.Next(), 2.0);
}

// Missing files and text that is no number, named in the message, are the
// hardening tests' breakages of every data file.

} // namespace
