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

TEST(NumberFile, FailuresNameTheFile) {
    TempFolder dir;
    auto messageOf = [](const std::filesystem::path& path, int reads) {
        try {
            NumberFile file(path);
            for (int i = 0; i < reads; ++i)
                file.Next();
        } catch (const DataFileError& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    const std::string missing = messageOf(dir / "Missing.dat", 1);
    EXPECT_NE(missing.find("Missing.dat"), std::string::npos) << missing;

    const char* broken[] = {"1 abc", "1 nan", "1 inf", "1 1e999", "1 1.2.3", "1 --2", "1 0x10",
                            "1 2;", ""};
    for (const char* text : broken) {
        const std::string msg = messageOf(dir.Write("Broken.dat", text), 2);
        EXPECT_NE(msg.find("Broken.dat"), std::string::npos) << "text: " << text;
    }
}

} // namespace
