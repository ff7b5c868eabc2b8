// veltrim-calc: the command-line front end over the computation library.
#include "app/SharedState.h"
#include "cli/CalcOptions.h"

#include <cstdio>
#include <iostream>
#include <stdexcept>

namespace {

void PrintSpectrum(const veltrim::SharedState& state) {
    std::printf("bin,energy_keV,fraction\n");
    for (int i = 1; i <= 300; ++i)
        std::printf("%d,%.1f,%.17g\n", i, 0.5 * i, state.Spectrum[i]);
}

} // namespace

int main(int argc, char** argv) {
    veltrim::CalcOptions options;
    try {
        options = veltrim::ParseCalcOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::invalid_argument& e) {
        std::cerr << "veltrim-calc: " << e.what() << '\n';
        return 2;
    }
    if (options.Help) {
        std::cout << veltrim::CalcUsage();
        return 0;
    }

    veltrim::StderrSink messages;
    veltrim::SharedState state(messages, options.DataFolder, ".");
    if (!state.LoadAttenuationTables())
        return 1;
    state.SelectRectification(options.Rectification);
    if (const auto clamped = state.ReadConditions(options.Texts))
        std::cerr << "veltrim-calc: tube voltage held to " << *clamped << " kV\n";
    if (!state.SynthesizeSpectrum())
        return 1;
    if (options.PrintSpectrum) {
        PrintSpectrum(state);
        return 0;
    }
    std::cerr << "veltrim-calc: the depth-dose calculation is not available in this build; use "
                 "--spectrum\n";
    return 1;
}
