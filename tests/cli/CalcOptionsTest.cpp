#include "cli/CalcOptions.h"

#include "cli/OptionTable.h"
#include "common/RefusalHelpers.h"
#include "common/TempFolder.h"
#include "core/Inputs.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>

namespace {

using Args = std::vector<std::string>;
using veltrim::ParseCalcOptions;

// The words of `line`, split at its blanks.
Args Words(const std::string& line) {
    std::istringstream in(line);
    return {std::istream_iterator<std::string>(in), {}};
}

// Why the command line is refused; empty when it is taken.
std::string Refusal(const Args& args) {
    return veltrim::testing::RefusalOf<std::invalid_argument>([&] { ParseCalcOptions(args); });
}

// GNU syntax: "--name=value" beside "--name value" for every option with a
// value, the only way to pass one that begins with a dash.
TEST(CalcOptions, ValuesAreTakenAsTypedInEitherForm) {
    const veltrim::CalcOptions o = ParseCalcOptions(Words(
        "--kv 120 --al=-1 --angle=1e-310 --field-x=+10. --rectification=3 --data=d --out r.txt "
        "--inherent 3 --cu=0.1 --fsd=75 --field-y=0 --precise --spectrum --quality --hvl1 3.0 "
        "--air=20 --match-filter=cu"));
    const veltrim::ConditionTexts& t = o.Texts;
    EXPECT_EQ((Args{t.TubeVoltage, t.AlFilter, t.TargetAngle, t.FieldX, t.InherentFiltration,
                    t.CuFilter, t.Fsd, t.FieldY}),
              (Args{"120", "-1", "1e-310", "+10.", "3", "0.1", "75", "0"}));
    EXPECT_EQ(o.Rectification, 3);
    EXPECT_EQ(o.DataFolder, std::filesystem::path("d"));
    EXPECT_EQ(o.OutFile, std::filesystem::path("r.txt"));
    EXPECT_TRUE(o.Precise && o.PrintSpectrum && o.PrintQuality && o.MatchCopper);
    EXPECT_EQ(o.Hvl1, "3.0");
    EXPECT_EQ(o.AirCm, "20");
    EXPECT_FALSE(o.Help);
    EXPECT_EQ(ParseCalcOptions({"--kv", " 120"}).Texts.TubeVoltage, " 120");

    const veltrim::CalcOptions none = ParseCalcOptions({});
    EXPECT_EQ(none.Texts.FieldX, "30");
    EXPECT_FALSE(none.DataFolder || none.MatchCopper);
    EXPECT_EQ(none.Model, veltrim::ScatterModel::Classic);
    EXPECT_TRUE(ParseCalcOptions({"-h"}).Help && ParseCalcOptions({"--help"}).Help);

    const veltrim::CalcOptions batch =
        ParseCalcOptions({"--batch", "rows.csv", "--format=json", "--jobs", "4", "--precise",
                          "--data", "d", "--scatter-model", "divergent"});
    EXPECT_EQ(batch.BatchFile, std::filesystem::path("rows.csv"));
    EXPECT_TRUE(batch.BatchJson && batch.Precise);
    EXPECT_EQ(batch.Jobs, 4);
    EXPECT_EQ(batch.Model, veltrim::ScatterModel::Divergent);
    EXPECT_FALSE(ParseCalcOptions({"--batch", "r.csv", "--format", "csv"}).BatchJson);
    EXPECT_FALSE(ParseCalcOptions({"--batch", "r.csv"}).Jobs);

    // The exposure is put together whatever the order of its parts.
    const veltrim::CalcOptions dose = ParseCalcOptions(
        {"--mas=128", "--dose-at", "2,7.5", "--output-distance", "50", "--tube-output=40"});
    ASSERT_TRUE(dose.Given && dose.DoseAt && dose.DoseAt->ToCm);
    EXPECT_EQ(dose.Given->Kind, veltrim::ExposureKind::TubeOutput);
    EXPECT_EQ(dose.Given->Value * dose.Given->Mas * dose.Given->OutputDistanceCm, 40 * 128 * 50);
    EXPECT_EQ(dose.DoseAt->FromCm + *dose.DoseAt->ToCm, 9.5);
    EXPECT_FALSE(ParseCalcOptions({"--dose-at=3"}).DoseAt->ToCm);
    // A number too small for a normal double is still that number.
    EXPECT_EQ(ParseCalcOptions({"--dose", "--air-kerma", "1e-310"}).Given->Value, 1e-310);
    EXPECT_EQ(*ParseCalcOptions({"--profile", " 5 "}).ProfileDepth, 5.0);
}

// Every number of the command line is one as a whole or is refused, naming
// the option and the text: never a leading number, a hexadecimal integer or
// a decimal comma read as something else. --strict adds nothing to that.
TEST(CalcOptions, ANumberThatIsNotOneAsAWholeIsRefusedNamingTheOption) {
    const char* const options[] = {"--kv",  "--al",        "--field-y", "--thickness",
                                   "--mas", "--air-kerma", "--profile", "--output-distance"};
    for (const char* option : options)
        for (const char* text : {"8O", "5O", "2,5", "1,5e3", "0x10", "", "1e", "&H10", "8 0"})
            for (const bool strict : {false, true}) {
                Args args = {std::string(option) + "=" + text};
                if (strict)
                    args.push_back("--strict");
                EXPECT_EQ(Refusal(args),
                          std::string(option) + " takes a number, not \"" + text + "\"");
            }
}

// Each refusal with the words the user reads. Beside --batch a condition
// would be ignored or applied to every row: either way not what the rows say.
TEST(CalcOptions, EachBadCommandLineIsRefusedWithItsCause) {
    const std::string batchOnly = "--format and --jobs go with --batch only";
    const std::string noCondition =
        "--batch takes the conditions from its file: no condition option beside it";
    const std::string notWithBatch =
        "--batch goes with --format, --jobs, --precise, --scatter-model and --data only";
    const std::pair<Args, std::string> refused[] = {
        {{"--kv"}, "option --kv needs a value"},
        {{"--kv", "80", "--kv", "90"}, "option --kv is given twice: give it once"},
        {{"--air-kerma=1", "--dose", "--air-kerma=2"},
         "option --air-kerma is given twice: give it once"},
        {{"--dose-at", "1,5"},
         "--dose-at \"1,5\" could be one depth with a decimal comma or a range: write 1.5 for "
         "the depth, or the range with a period in a depth (\"1,5.0\")"},
        {{"--kv=200", "--strict"}, "--kv \"200\" is outside 30-150 kV (--strict)"},
        {{"--batch="}, "--batch needs a file name, not an empty text"},
        {{"--kv", "--precise"}, "option --kv needs a value; \"--precise\" is an option"},
        {{"--batch", "--jobs=2"}, "option --batch needs a value; \"--jobs=2\" is an option"},
        {{"--precise=yes"}, "option --precise takes no value, not \"yes\""},
        {{"--help="}, "option --help takes no value, not \"\""},
        {{"--frobnicate"}, "unknown option \"--frobnicate\" (see --help)"},
        {{"--frob=1"}, "unknown option \"--frob\" (see --help)"},
        {{"--interest", "c,8"},
         "--ap-thickness, --lateral-width, --interest and --save-study go "
         "with --study"},
        {{"--study", "s.json", "--interest", "c,8,1"},
         "--interest takes NAME,DEPTH_CM[,LEFT_CM,HEAD_CM], not \"c,8,1\""},
        {{"-kv=80"}, "unknown option \"-kv=80\" (see --help)"},
        {{"--rectification", "4"}, "--rectification takes 1, 2 or 3, not \"4\""},
        {{"--rectification=1.0"}, "--rectification takes 1, 2 or 3, not \"1.0\""},
        {{"--scatter-model", "parallel"},
         "--scatter-model takes classic or divergent, not \"parallel\""},
        {{"--match-filter=fe"}, "--match-filter takes al or cu, not \"fe\""},
        {{"--batch", "r", "--format", "xml"}, "--format takes csv or json, not \"xml\""},
        {{"--batch", "r", "--jobs", "0"}, "--jobs takes a whole number from 1 to 256, not \"0\""},
        {{"--batch", "r", "--jobs=257"}, "--jobs takes a whole number from 1 to 256, not \"257\""},
        {{"--batch", "r", "--jobs=2x"}, "--jobs takes a whole number from 1 to 256, not \"2x\""},
        {{"--batch", "r", "--jobs="}, "--jobs takes a whole number from 1 to 256, not \"\""},
        {{"--jobs", "99999999999"},
         "--jobs takes a whole number from 1 to 256, not \"99999999999\""},
        {{"--jobs", "2"}, batchOnly},
        {{"--format", "json", "--kv", "80"}, batchOnly},
        {{"--batch", "r", "--kv", "80"}, noCondition},
        {{"--rectification=2", "--batch", "r", "--spectrum"}, noCondition},
        {{"--batch", "r", "--field-y=0"}, noCondition},
        {{"--batch", "r", "--spectrum"}, notWithBatch},
        {{"--batch", "r", "--quality"}, notWithBatch},
        {{"--batch", "r", "--hvl1", "3"}, notWithBatch},
        {{"--batch", "r", "--air", "3"}, notWithBatch},
        {{"--batch", "r", "--out", "o"}, notWithBatch},
        {{"--batch", "r", "--air-kerma", "2"}, notWithBatch},
        {{"--batch", "r", "--export-csv", "t.csv"}, notWithBatch},
        {{"--export-csv="}, "--export-csv takes a file name, not an empty text"},
        {{"--report="}, "--report takes a file name, not an empty text"},
        {{"--export-csv", "t.csv", "--spectrum"},
         "--export-csv writes a depth-dose table: it goes without --spectrum and --quality"},
        {{"--dose", "--kap=nan"}, "--kap takes a number, not \"nan\""},
        {{"--dose-at", "1,"},
         "--dose-at takes a depth in cm, or two joined by a comma, not \"1,\""},
        {{"--dose", "--esak", "3", "--air-kerma", "2"},
         "The exposure was given twice, as the incident air kerma and as the entrance surface "
         "air kerma: give it one way only."},
        {{"--dose", "--tube-output", "40"},
         "A tube output needs the tube current-time product (mAs) to make an exposure: give the "
         "mAs too."},
        {{"--dose", "--kap", "1", "--mas", "20"},
         "--mas and --output-distance go with --tube-output only"},
        {{"--kap", "1"},
         "an exposure goes with --dose, --dose-at, --point, --profile, --map, --export-csv or "
         "--report"},
        {{"--point", "1,2"}, "--point takes X,Y,Z in cm, not \"1,2\""},
        {{"--point", "1,2,3,4"}, "--point takes X,Y,Z in cm, not \"1,2,3,4\""},
        {{"--point", "1,inf,3"}, "--point takes X,Y,Z in cm, not \"1,inf,3\""},
        {{"--profile", "5", "--axis", "z"}, "--axis takes x or y, not \"z\""},
        {{"--map", "xz"}, "--map takes x or y, not \"xz\""},
        {{"--axis", "y"}, "--axis goes with --profile"},
        {{"--point", "1,2,3", "--map", "x"},
         "--point, --profile and --map print different tables: give one"},
        {{"--profile", "5", "--dose"},
         "--point, --profile and --map go without --dose, --dose-at, --spectrum, --quality, --out "
         "and --export-csv"},
        {{"--dose", "--dose-at", "1"}, "--dose and --dose-at print different tables: give one"},
        {{"--dose", "--out", "o"},
         "--dose and --dose-at go without --spectrum, --quality and --out"},
    };
    for (const auto& [args, message] : refused)
        EXPECT_EQ(Refusal(args), message) << ::testing::PrintToString(args);
}

// Whether `text` names the option: its name not followed by more of a name.
bool Names(const std::string& text, const std::string& option) {
    for (std::size_t at = text.find(option); at != std::string::npos;
         at = text.find(option, at + 1)) {
        const char next = at + option.size() < text.size() ? text[at + option.size()] : ' ';
        if (!std::isalnum(static_cast<unsigned char>(next)) && next != '-')
            return true;
    }
    return false;
}

// The text from `from` to the next line that starts with `next`, its
// white space made single blanks (--help and troff both wrap their lines).
std::string Paragraph(const std::string& text, std::size_t from, const std::string& next) {
    const std::size_t end = text.find(next, from + 1);
    std::string words;
    for (std::size_t at = from; at < std::min(end, text.size()); ++at) {
        const bool blank = std::isspace(static_cast<unsigned char>(text[at])) != 0;
        if (!blank)
            words += text[at];
        else if (!words.empty() && words.back() != ' ')
            words += ' ';
    }
    return words;
}

// An option added to the table and left out of the manual fails here; a
// default changed in the inputs table and not in the prose of --help or the
// manual (or the other way round) would tell the user a value the program
// does not take.
TEST(CalcOptions, TheManualAndTheHelpNameEveryOptionAndEachInputsDefault) {
    std::string manual = veltrim::testing::ReadBytes(std::filesystem::path(VELTRIM_SOURCE_DIR) /
                                                     "packaging/veltrim-calc.1");
    ASSERT_FALSE(manual.empty());
    for (std::size_t at; (at = manual.find("\\-")) != std::string::npos;)
        manual.erase(at, 1); // troff's "\-" is the command line's "-"
    const std::string help = veltrim::CalcUsage();
    for (const veltrim::CalcOption& option : veltrim::CalcOptionTable())
        for (const char* name : {option.Name, option.Short})
            if (name) {
                EXPECT_TRUE(Names(manual, name)) << name << " is not in the manual";
                EXPECT_TRUE(Names(help, name)) << name << " is not in --help";
            }
    for (const veltrim::UserInput& input : veltrim::UserInputs()) {
        const std::string option = input.Option;
        ASSERT_NE(veltrim::FindCalcOption(option), nullptr) << option << " is not an option";
        if (!input.Default)
            continue;
        const std::string said = "(default " + std::string(input.Default);
        const std::size_t inHelp = help.find("\n  " + option + " ");
        ASSERT_NE(inHelp, std::string::npos) << option;
        const std::string helpText = Paragraph(help, inHelp, "\n  -");
        EXPECT_NE(helpText.find(said), std::string::npos) << helpText;
        std::size_t inManual = manual.find("\n.BI " + option + " ");
        if (inManual == std::string::npos)
            inManual = manual.find("\n.BR " + option + " ");
        ASSERT_NE(inManual, std::string::npos) << option << " has no paragraph in the manual";
        const std::string manualText = Paragraph(manual, inManual, "\n.TP");
        EXPECT_NE(manualText.find(said), std::string::npos) << manualText;
    }
}

// Each page a manual page sends the reader to under SEE ALSO is shipped
// beside it.
TEST(CalcOptions, EveryPageTheManualsSeeIsShipped) {
    const std::filesystem::path packaging = std::filesystem::path(VELTRIM_SOURCE_DIR) / "packaging";
    for (const char* page : {"veltrim-calc.1", "veltrim.1"}) {
        const std::string manual = veltrim::testing::ReadBytes(packaging / page);
        const std::size_t seeAlso = manual.find(".SH SEE ALSO");
        ASSERT_NE(seeAlso, std::string::npos) << page;
        std::size_t named = 0;
        for (std::size_t at = seeAlso; (at = manual.find(".BR ", at)) != std::string::npos; ++at) {
            const std::size_t end = manual.find(" (1)", at);
            const std::string other = manual.substr(at + 4, end - at - 4);
            EXPECT_TRUE(std::filesystem::exists(packaging / (other + ".1")))
                << page << " sends the reader to " << other << "(1)";
            ++named;
        }
        EXPECT_GT(named, 0u) << page;
    }
}

} // namespace
