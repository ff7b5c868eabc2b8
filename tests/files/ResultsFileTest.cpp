#include "files/ResultsFile.h"

#include "dose/DepthDose.h"

#include <gtest/gtest.h>

namespace {

// The values of the byte-for-byte test below (00.25, 071.32, 1000.00, 05.0,
// 2.50, 000.38, ...) are not repeated here.
TEST(ResultsFile, NumbersFollowTheirPatterns) {
    struct Case {
        double value;
        int integerDigits, decimals;
        const char* text;
    };
    const Case cases[] = {
        {29.75, 2, 2, "29.75"},
        {12345.678, 3, 2, "12345.68"},
        {0, 2, 1, "00.0"},
        {99.996, 3, 2, "100.00"},
        // Exactly halfway (binary fractions) goes away from zero; a value just
        // below a decimal half (2.675 is 2.67499999...) goes down.
        {0.125, 3, 2, "000.13"},
        {80.25, 2, 1, "80.3"},
        {2.675, 1, 2, "2.67"},
        {-0.125, 3, 2, "-000.13"},
        // Negative values keep their zeros after the sign; a negative value
        // that rounds to zero is written as zero.
        {-1.5, 3, 2, "-001.50"},
        {-0.001, 3, 2, "000.00"},
        {-0.0, 3, 2, "000.00"},
        {1e-300, 3, 2, "000.00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(veltrim::FormatNumber(c.value, c.integerDigits, c.decimals), c.text)
            << c.value << " with " << c.integerDigits << "." << c.decimals;
}

// A finished two-row calculation, as the depth-dose step leaves it. (That
// the state writes these bytes under the working file's name is the
// hardening tests'.)
struct TwoRows {
    veltrim::DepthDoseTable table{};
    veltrim::IrradiationConditions c;

    TwoRows() {
        table[1] = {0, 71.3214, 28.6786, 100};
        table[2] = {0, 1000, 0.375, 1000.375};
        c.Rectification = veltrim::RectificationMethod::ThreePhase12Peak;
        c.TubeVoltage = 150;
        c.TargetAngle = 12;
        c.InherentFiltration = 0.25;
        c.AlFilter = 0.1;
        c.CuFilter = 0.01;
        c.Fsd = 5;
        c.FieldX = 10; // typed in either order, written the larger first
        c.FieldY = 20;
    }
    std::string Bytes(veltrim::ScatterModel model = veltrim::ScatterModel::Classic,
                      std::optional<double> thicknessCm = std::nullopt) const {
        return veltrim::ResultsFileBytes(table, 2, c, model, veltrim::Medium::IcruFourComponent,
                                         thicknessCm);
    }
};

TEST(ResultsFile, IsWrittenByteForByteWithShiftJisLabelsAndCrLf) {
    // The expected bytes were produced with Python 3's own 'shift_jis' codec
    // (str.encode('shift_jis')), independently of iconv, from the UTF-8 text
    // of the layout, and pasted here.
    const std::string expected =
        " 00.25,  071.32,  028.68,  100.00\x0D\x0A"
        " 00.75,  1000.00,  000.38,  1000.38\x0D\x0A"
        "\x0D\x0A"
        "\x8F\xC6\x8E\xCB\x8F\xF0\x8C\x8F\x0D\x0A"
        "\x90\xAE\x97\xAC\x95\xFB\x8E\xAE, \x8EO\x91\x8A\x31\x32\x83s\x81[\x83N\x0D\x0A"
        "\x82w\x90\xFC\x8A\xC7\x93\x64\x88\xB3, 150.0, kV\x0D\x0A"
        "\x83^\x81[\x83Q\x83\x62\x83g\x8Ap\x93x, 12.0, \x93x\x0D\x0A"
        "\x8C\xC5\x97L\x82\xEB\x89\xDF, 2.50, mm Al\x93\x96\x97\xCA\x0D\x0A"
        "Al\x95t\x89\xC1\x83t\x83\x42\x83\x8B\x83^, 1.00, mm\x0D\x0A"
        "Cu\x95t\x89\xC1\x83t\x83\x42\x83\x8B\x83^, 0.10, mm\x0D\x0A"
        "FSD, 05.0, cm\x0D\x0A"
        "\x8F\xC6\x8E\xCB\x96\xEC at FSD, 20.0, cm\x0D\x0A"
        "\x8F\xC6\x8E\xCB\x96\xEC at FSD, 10.0, cm\x0D\x0A";
    EXPECT_EQ(TwoRows().Bytes(), expected);
}

TEST(ResultsFile, ADivergentCalculationAndAFinitePhantomAddOneLineEach) {
    const TwoRows r;
    // "散乱モデル, 発散ビーム" from Python 3's 'shift_jis' codec, as above.
    const std::string divergent = "\x8E\x55\x97\x90\x83\x82\x83\x66\x83\x8B\x2C\x20"
                                  "\x94\xAD\x8E\x55\x83\x72\x81\x5B\x83\x80\x0D\x0A";
    EXPECT_EQ(r.Bytes(veltrim::ScatterModel::Divergent), r.Bytes() + divergent);
    EXPECT_EQ(r.Bytes(veltrim::ScatterModel::Divergent, 20.5),
              r.Bytes() + divergent + veltrim::EncodeShiftJis("ファントムの厚さ, ") +
                  "20.5, cm\r\n");
}

TEST(ResultsFile, RectificationLineNamesEachMethod) {
    // Bytes from Python 3's 'shift_jis' codec, as above.
    const std::pair<veltrim::RectificationMethod, std::string> cases[] = {
        {veltrim::RectificationMethod::ConstantPotential,
         "\x90\xAE\x97\xAC\x95\xFB\x8E\xAE\x2C\x20\x92\xE8\x93\x64\x88\xB3\x0D\x0A"},
        {veltrim::RectificationMethod::SinglePhaseFullWave,
         "\x90\xAE\x97\xAC\x95\xFB\x8E\xAE\x2C\x20\x92\x50\x91\x8A\x91\x53\x94\x67\x0D\x0A"},
    };
    for (const auto& [method, line] : cases) {
        TwoRows r;
        r.c.Rectification = method;
        EXPECT_NE(r.Bytes().find(line), std::string::npos);
    }
}

TEST(ResultsFile, CircleWritesItsZeroSideLast) {
    TwoRows r;
    r.c.FieldY = 0;
    const std::string bytes = r.Bytes();
    EXPECT_NE(bytes.find(" at FSD, 10.0, cm\r\n"), std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.size() - 19), " at FSD, 00.0, cm\r\n");
}

TEST(ResultsFile, ShiftJisRoundTripsTheLabels) {
    // "Ｘ線管電圧" in UTF-8 (its Shift_JIS bytes are the byte-for-byte test's).
    const std::string label = "\xEF\xBC\xB8\xE7\xB7\x9A\xE7\xAE\xA1\xE9\x9B\xBB\xE5\x9C\xA7";
    EXPECT_EQ(veltrim::DecodeShiftJis(veltrim::EncodeShiftJis(label)), label);
    EXPECT_THROW(veltrim::EncodeShiftJis("\xF0\x9F\x98\x80"),
                 veltrim::ResultsFileError); // no JIS code
}

// A write that fails half-way, or a working folder that cannot take the file,
// is the hardening tests' working-folder cases.

} // namespace
