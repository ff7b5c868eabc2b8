// veltrim-validate: regenerates docs/validation.md and its figures from the
// shipped data and the program's library, and checks the results.
#include "tools/validate/Sections.h"

#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <string>

namespace {

const char* Usage =
    "Usage: veltrim-validate [--data DIR] [--out DIR] [--check] [--no-plots]\n"
    "                        [--histories N]\n\n"
    "Writes DIR/validation.md and DIR/validation/ (figures and their data) from\n"
    "the data folder (default: data) and the program's library.\n"
    "  --out DIR        folder of the report (default: docs)\n"
    "  --check          only the checks: no figures, no report, and no Monte Carlo\n"
    "                   surface study unless --histories is given; exit status 1\n"
    "                   when a check fails\n"
    "  --no-plots       write the gnuplot scripts but do not run gnuplot\n"
    "  --histories N    histories per energy of the surface study (default 1000000)\n";

} // namespace

int main(int argc, char** argv) {
    std::filesystem::path data = "data", out = "docs";
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
        Report report(out, plots && !check);
        Context context{engine, report, std::nullopt};
        if (!check || historiesGiven) {
            SurfaceTallySettings settings;
            settings.Histories = histories;
            context.Surface = settings;
        }
        DataSection(context);
        SpectraSection(context);
        KernelSection(context);
        DepthDoseSection(context);
        MendedFaultsSection(context);

        for (const std::string& line : report.CheckLines())
            std::cout << line << "\n";
        if (!check) {
            std::ofstream md(out / "validation.md", std::ios::binary);
            md << "# Validation of Veltrim\n\n"
               << "Regenerate this report and its figures from the top of a checkout (needs "
                  "xraylib for the tools and gnuplot for the figures; about a minute of "
                  "computation):\n\n```\n"
                  "cmake -S . -B build -G Ninja && cmake --build build --target veltrim-validate\n"
                  "build/tools/validate/veltrim-validate --data data --out docs\n```\n\n"
                  "Every number below comes from that run on the shipped data, or from the "
                  "cited source; the published values and their caveats are collected in "
                  "[references.md](references.md). `ctest -L validation` runs the checks "
                  "(listed at the end) without figures.\n\n"
               << "## Summary\n\n";
            for (const std::string& line : report.Summary)
                md << "- " << line << "\n";
            md << "\n" << report.Text.str() << "## Checks of this run\n\n```\n";
            for (const std::string& line : report.CheckLines())
                md << line << "\n";
            md << "```\n";
        }
        std::cout << (report.Failures() == 0
                          ? "all validation checks passed\n"
                          : std::to_string(report.Failures()) + " check(s) failed\n");
        return report.Failures() == 0 ? 0 : 1;
    } catch (const std::exception& e) {
        std::cerr << "veltrim-validate: " << e.what() << "\n";
        return 2;
    }
}
