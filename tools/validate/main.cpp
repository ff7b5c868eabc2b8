// veltrim-validate: regenerates docs/validation.md and its figures from the
// shipped data and the program's library, and checks the results.
#include "core/FileReplacing.h"
#include "tools/validate/Checks.h"
#include "tools/validate/ReportText.h"
#include "tools/validate/Studies.h"

#include <iostream>
#include <string>

namespace {

const char* Usage =
    "Usage: veltrim-validate [--data DIR] [--out DIR] [--check] [--no-plots]\n"
    "                        [--histories N] [--direct DIR]\n\n"
    "Writes DIR/validation.md and DIR/validation/ (figures and their data) from\n"
    "the data folder (default: data) and the program's library.\n"
    "  --out DIR        folder of the report (default: docs)\n"
    "  --check          only the checks: no figures, no report, and no Monte Carlo\n"
    "                   surface study unless --histories is given; exit status 1\n"
    "                   when a check fails\n"
    "  --no-plots       write the gnuplot scripts but do not run gnuplot\n"
    "  --histories N    histories per energy of the surface study (default 1000000)\n"
    "  --direct DIR     the direct Monte Carlo tables of the divergent-beam study\n"
    "                   (default: tools/validate/direct of the source tree)\n";

} // namespace

int main(int argc, char** argv) {
    std::filesystem::path data = "data", out = "docs", direct = VELTRIM_DIRECT_MC_DIR;
    bool check = false, plots = true, historiesGiven = false;
    std::uint64_t histories = 1000000;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                throw std::invalid_argument(a + " needs a value");
            return argv[++i];
        };
        try {
            if (a == "--data")
                data = value();
            else if (a == "--out")
                out = value();
            else if (a == "--direct")
                direct = value();
            else if (a == "--check")
                check = true;
            else if (a == "--no-plots")
                plots = false;
            else if (a == "--histories") {
                histories = std::stoull(value());
                historiesGiven = true;
            } else if (a == "--help") {
                std::cout << Usage;
                return 0;
            } else
                throw std::invalid_argument("unknown option " + a);
        } catch (const std::exception& e) {
            std::cerr << "veltrim-validate: " << e.what() << "\n" << Usage;
            return 2;
        }
    }

    try {
        using namespace veltrim::validate;
        Engine engine(data);
        Findings findings;
        findings.Data = StudyData(engine);
        findings.Spectra = StudySpectra(engine);
        findings.Matching = StudyMatching(engine);
        findings.Kernels = StudyKernels(engine);
        findings.DepthDose = StudyDepthDose(engine);
        if (!check || historiesGiven) {
            SurfaceTallySettings settings;
            settings.Histories = histories;
            findings.Surface = StudySurface(engine, settings);
        }
        findings.Mended = StudyMendedFaults(engine);
        findings.Divergent = StudyDivergent(engine, direct);
        findings.SurfaceDose = StudySurfaceDose(engine, direct);
        findings.Medium = StudyMedium(engine);
        findings.Thickness = StudyThickness(engine, direct);
        for (const veltrim::Medium m :
             {veltrim::Medium::Water, veltrim::Medium::Icru44, veltrim::Medium::Pmma})
            findings.MediumSlabs.push_back(StudyThickness(engine, direct, m));
        findings.OffAxis = StudyOffAxis(engine, direct / "offaxis");
        findings.Circles = StudyCircles(engine);

        const std::vector<Check> checks = Checks(findings);
        int failures = 0;
        for (const Check& c : checks) {
            std::cout << CheckLine(c) << "\n";
            failures += c.Passed ? 0 : 1;
        }
        if (!check) {
            findings.Hardening = StudyHardening(engine);
            const Report report(out, plots);
            const std::string text = ReportText(findings, checks, report);
            veltrim::ReplaceFileOrThrow(out / "validation.md", text);
        }
        std::cout << (failures == 0 ? "all validation checks passed\n"
                                    : std::to_string(failures) + " check(s) failed\n");
        return failures == 0 ? 0 : 1;
    } catch (const std::exception& e) {
        std::cerr << "veltrim-validate: " << e.what() << "\n";
        return 2;
    }
}
