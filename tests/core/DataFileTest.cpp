#include "core/DataFile.h"

#include "common/TempFolder.h"

#include <bit>
#include <charconv>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <sstream>
#include <string_view>
#include <sys/stat.h>

namespace {

using veltrim::DataFileError;
using veltrim::NumberFile;
using veltrim::testing::TempFolder;
namespace fs = std::filesystem;

TEST(NumberFile, ReadsNumbersSeparatedByCommasBlanksAndLineBreaks) {
    TempFolder dir;
    NumberFile file(dir.Write("a.dat", "\xEF\xBB\xBF"
                                       "1,2.5 \t-3e2\r\n+4.25E-1,,\n\n.5\n"));
    EXPECT_EQ(file.Next(), 1.0);
    EXPECT_EQ(file.Next(), 2.5);
    EXPECT_EQ(file.Next(), -300.0);
    EXPECT_EQ(file.Next(), 0.425);
    EXPECT_EQ(file.Next(), 0.5);
    EXPECT_EQ(file.Count(), 5u);
    EXPECT_THROW(file.Next(), DataFileError);
}

// The reader converts most fields by exact arithmetic of its own: every
// field must still read bit for bit as std::from_chars reads it, at the
// limits of that arithmetic (2^53 in the digits, 10^22, 19 digits) and
// beyond them, with the period and the exponent anywhere.
TEST(NumberFile, ReadsEveryFieldBitForBitAsFromChars) {
    std::istringstream limits("9007199254740992 9007199254740993 1e22 1e23 1e-22 1e-23 "
                              "123456789012345678e-22 1234567890123456789 12345678901234567890 "
                              "0.0000000000000000001 -0 1. -.5 +-2.5e+001 7E-005 5e-324 "
                              "1.7976931348623157e308");
    std::vector<std::string> fields{std::istream_iterator<std::string>(limits),
                                    std::istream_iterator<std::string>()};
    std::mt19937_64 random(20260101);
    const auto draw = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (int i = 0; i < 20000; ++i) {
        std::string digits;
        for (int d = draw(1, 21); d > 0; --d)
            digits += static_cast<char>('0' + draw(0, 9));
        std::string field = draw(0, 3) == 0 ? "-" : "";
        const int period = draw(-1, static_cast<int>(digits.size()));
        field += period < 0 ? digits : digits.insert(static_cast<std::size_t>(period), ".");
        if (draw(0, 3) > 0)
            field += (draw(0, 1) ? "e" : "E") + std::to_string(draw(-40, 40));
        fields.push_back(field);
    }
    std::string text;
    for (const std::string& field : fields)
        text += field + "\n";
    NumberFile file("many.dat", text);
    for (const std::string& field : fields) {
        std::string_view written = field;
        if (written.front() == '+')
            written.remove_prefix(1);
        double expected = 0.0;
        std::from_chars(written.data(), written.data() + written.size(), expected);
        ASSERT_EQ(std::bit_cast<std::uint64_t>(file.Next()), std::bit_cast<std::uint64_t>(expected))
            << field;
    }
}

// A field that is no finite number is refused by its place, whatever it holds.
TEST(NumberFile, RefusesEveryFieldThatIsNoFiniteNumber) {
    for (const char* field : {"abc", "1.5x", "0x10", "1.5.5", "nan", "NaN", "inf", "-inf", "1e999",
                              "-1e999", "1e-999", "\xff\xfe", "+"}) {
        NumberFile file("a.dat", std::string("1 ") + field + " 3");
        EXPECT_EQ(file.Next(), 1.0);
        try {
            file.Next();
            ADD_FAILURE() << field << " was read";
        } catch (const DataFileError& e) {
            const std::string why = std::string(field).find("999") != std::string::npos
                                        ? "out of range"
                                        : "not a number";
            EXPECT_NE(std::string(e.what()).find("number 2 "), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << e.what();
        }
    }
}

std::string ProblemOf(const std::function<void()>& read,
                      veltrim::Language language = veltrim::Language::English) {
    try {
        read();
    } catch (const DataFileError& e) {
        return e.Problem().In(language);
    }
    return "(no error)";
}

// Anything but a regular file is refused at once, without waiting: a named
// pipe has no writer, and opening it the ordinary way never returns.
TEST(NumberFile, RefusesWhatIsNotARegularFileWithoutBlocking) {
    TempFolder dir;
    ASSERT_EQ(::mkfifo((dir / "pipe.dat").c_str(), 0600), 0);
    fs::create_directory(dir / "folder.dat");
    fs::create_symlink("loop.dat", dir / "loop.dat");
    for (const auto& refused : {std::pair{"pipe.dat", "is a named pipe, not a regular file"},
                                {"folder.dat", "is a folder, not a regular file"},
                                {"loop.dat", "loop of symbolic links"},
                                {"none.dat", "does not exist"}}) {
        const std::string problem = ProblemOf([&] { NumberFile f(dir / refused.first); });
        EXPECT_NE(problem.find(refused.second), std::string::npos) << problem;
    }
    EXPECT_NE(ProblemOf([&] { NumberFile f(dir / "pipe.dat"); }, veltrim::Language::Japanese)
                  .find("名前付きパイプ"),
              std::string::npos);
}

// A file saved as UTF-16 is named as such, and any field is shown as
// printable text, never as raw bytes.
TEST(NumberFile, NamesUtf16TextAndShowsFieldsPrintably) {
    TempFolder dir;
    const std::string utf16("\xFF\xFE"
                            "1\0,\0"
                            "2\0",
                            8);
    const std::string problem = ProblemOf([&] { NumberFile(dir.Write("wide.dat", utf16)).Next(); });
    EXPECT_NE(problem.find("UTF-16"), std::string::npos) << problem;
    const std::string withoutMark("3\0.\0"
                                  "5\0",
                                  6);
    EXPECT_NE(
        ProblemOf([&] { NumberFile(dir.Write("bare.dat", withoutMark)).Next(); }).find("UTF-16"),
        std::string::npos);
    const std::string garbage = ProblemOf([&] {
        NumberFile f(dir.Write("bad.dat", std::string("1 \x01\x1b[2J\xff", 8)));
        f.Next();
        f.Next();
    });
    EXPECT_NE(garbage.find("number 2 (\"\\x01\\x1B[2J\\xFF\") is not a number"), std::string::npos)
        << garbage;
}

// Only what the layout needs is read: a file with the numbers at its start
// and gigabytes after them costs a piece of it, and a field without end is
// refused rather than gathered.
TEST(NumberFile, ReadsOnlyAsFarAsTheNumbersAskedFor) {
    TempFolder dir;
    const fs::path big = dir.Write("big.dat", "1 2 3 ");
    fs::resize_file(big, std::uintmax_t{4} << 30); // sparse: zero bytes after the numbers
    NumberFile file(big);
    EXPECT_EQ(file.Next(), 1.0);
    EXPECT_EQ(file.Next(), 2.0);
    EXPECT_EQ(file.Next(), 3.0);

    const fs::path endless = dir.Write("endless.dat", "4 " + std::string(100000, '7'));
    NumberFile digits(endless);
    EXPECT_EQ(digits.Next(), 4.0);
    EXPECT_THROW(digits.Next(), DataFileError);
}

// A number may straddle the pieces the file is read in.
TEST(NumberFile, NumbersAcrossReadPiecesAreWhole) {
    TempFolder dir;
    std::string text;
    std::vector<double> expected;
    for (int i = 0; text.size() < 300000; ++i) {
        const double v = 1.0 + i * 0.001953125;
        text += std::to_string(v) + (i % 7 == 0 ? ",\r\n" : " ");
        expected.push_back(std::stod(std::to_string(v)));
    }
    NumberFile file(dir.Write("many.dat", text));
    for (const double v : expected)
        ASSERT_EQ(file.Next(), v);
    EXPECT_THROW(file.Next(), DataFileError);
}

} // namespace
