#pragma once

#include "core/LookUp.h"
#include "dose/Medium.h"
#include "dose/ScatterKernels.h"
#include "tools/mc/Phantom.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace veltrim::mc {

// The value of a command-line option of the Monte Carlo tool: a finite,
// non-negative number written whole (nothing after it), or nothing.
inline std::optional<double> ReadNonNegative(const std::string& text) {
    std::size_t used = 0;
    double value = 0.0;
    try {
        value = std::stod(text, &used);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    if (used != text.size() || !std::isfinite(value) || value < 0.0) {
        return std::nullopt;
    }
    return value;
}

// A count: a whole number from 1 to 10^15.
inline std::optional<std::uint64_t> ReadCount(const std::string& text) {
    const std::optional<double> value = ReadNonNegative(text);
    if (!value || *value != std::floor(*value) || *value < 1.0 || *value > 1e15) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(*value);
}

// The value of the option at argv[k], k moved on to it. "--help" prints the
// usage and ends the program; an option without a value is refused.
template <typename Refuse>
std::string OptionValue(int argc, char** argv, int& k, const char* usage, Refuse refuse) {
    const std::string option = argv[k];
    if (option == "--help") {
        std::fputs(usage, stdout);
        std::exit(0);
    }
    if (k + 1 >= argc) {
        refuse("missing value for " + option);
    }
    return argv[++k];
}

// An option's value by ReadNonNegative, or `refuse` (which does not return)
// given the words for a bad one.
template <typename Refuse>
double NumberOrRefuse(const std::string& text, const std::string& option, Refuse refuse) {
    const std::optional<double> value = ReadNonNegative(text);
    if (!value) {
        refuse("bad value for " + option + ": " + text);
    }
    return value.value_or(0.0);
}

// An option's value by ReadCount, or `refuse` given the words for a bad one.
template <typename Refuse>
std::uint64_t CountOrRefuse(const std::string& text, const std::string& option, Refuse refuse) {
    const std::optional<std::uint64_t> value = ReadCount(text);
    if (!value) {
        refuse("bad count for " + option + ": " + text);
    }
    return value.value_or(0);
}

// The phantom medium named by its key, or `refuse` given the keys.
template <typename Refuse> Medium MediumOrRefuse(const std::string& key, Refuse refuse) {
    const std::optional<Medium> medium = MediumFromKey(key);
    if (!medium) {
        refuse("the medium is icru-4, icru-44, water or pmma: " + key);
    }
    return medium.value_or(Medium::IcruFourComponent);
}

// Ends the program over a bad command line, with the words and the mode's usage.
using Refusal = void (*)(const std::string& message);

// What stores an option's value in a mode's options, refusing a bad one.
template <typename Options>
using OptionSetter = void (*)(Options& options, const std::string& name, const std::string& value,
                              Refusal refuse);

// The table of a mode's options: each name with its setter.
template <typename Options> using OptionRow = std::pair<const char*, OptionSetter<Options>>;

template <auto Field, typename Options>
void SetText(Options& o, const std::string&, const std::string& value, Refusal) {
    o.*Field = value;
}

template <auto Field, typename Options>
void SetNumber(Options& o, const std::string& name, const std::string& value, Refusal refuse) {
    o.*Field = NumberOrRefuse(value, name, refuse);
}

template <auto Field, typename Options>
void SetCount(Options& o, const std::string& name, const std::string& value, Refusal refuse) {
    o.*Field = CountOrRefuse(value, name, refuse);
}

template <auto Field, typename Options>
void SetMedium(Options& o, const std::string&, const std::string& value, Refusal refuse) {
    o.*Field = MediumOrRefuse(value, refuse);
}

// The node energies of a set when none are asked for: 10, 15, ..., 150 keV.
inline std::vector<int> DefaultNodeEnergies() {
    std::vector<int> energies;
    for (int e = FirstKernelKeV; e <= LastKernelKeV; e += 5)
        energies.push_back(e);
    return energies;
}

// What every mode reads alike: where it writes, the phantom's medium, the
// batches of a run and when it stops; the modes differ only in the defaults.
struct RunOptions {
    std::filesystem::path Out;
    Medium Material = Medium::IcruFourComponent;
    std::uint64_t Seed = 0;
    std::uint64_t Threads = 2;
    std::uint64_t Batch = 20000;      // histories per batch
    std::uint64_t MinBatches = 20;    // run before the target is tested
    std::uint64_t MaxHistories = 0;   // at most, with a target
    std::uint64_t FixedHistories = 0; // exactly, in whole batches, without a target
    double Target = 0.0;              // the relative 1-sigma that ends a run

    // Into the settings of a run (RunSettings, FocusRunSettings). A run of
    // fixed length tests no target, so its MinBatches never counts.
    template <class Settings> void ApplyTo(Settings& s) const {
        s.Seed = Seed;
        s.Threads = static_cast<unsigned>(Threads);
        s.BatchHistories = Batch;
        s.MinBatches = MinBatches;
        if (FixedHistories > 0) {
            s.MaxBatches = (FixedHistories + Batch - 1) / Batch;
            s.TargetUncertainty = 0.0;
        } else {
            s.MaxBatches = std::max<std::uint64_t>(1, MaxHistories / Batch);
            s.TargetUncertainty = Target;
        }
    }
};

// The options every mode takes; --min-batches is the modes' own, as a
// direct run always tests from its tenth batch.
inline constexpr OptionRow<RunOptions> kRunOptions[] = {
    {"--out", SetText<&RunOptions::Out>},
    {"--medium", SetMedium<&RunOptions::Material>},
    {"--seed", SetCount<&RunOptions::Seed>},
    {"--threads", SetCount<&RunOptions::Threads>},
    {"--batch", SetCount<&RunOptions::Batch>},
    {"--target", SetNumber<&RunOptions::Target>},
    {"--max-histories", SetCount<&RunOptions::MaxHistories>},
    {"--histories", SetCount<&RunOptions::FixedHistories>},
};

// The phantom and its depth splitting, for the modes that choose them (the
// kernels and the direct run; the surface set runs analog in the kernels'
// phantom).
struct PhantomOptions {
    double Thickness = Phantom{}.Thickness;
    double ImportanceFactor = 0.0;
    double ImportanceSpan = 12.0;
};

inline constexpr OptionRow<PhantomOptions> kPhantomOptions[] = {
    {"--thickness", SetNumber<&PhantomOptions::Thickness>},
    {"--importance", SetNumber<&PhantomOptions::ImportanceFactor>},
    {"--importance-span", SetNumber<&PhantomOptions::ImportanceSpan>},
};

// Sets the option `name` if `table` has it; `o` derives from the table's options.
template <typename Part, std::size_t N, typename Options>
bool SetFromTable(const OptionRow<Part> (&table)[N], Options& o, const std::string& name,
                  const std::string& value, Refusal refuse) {
    const auto set = LookUp(table, name);
    if (set) {
        (*set)(o, name, value, refuse);
    }
    return set.has_value();
}

// A mode's options from its command line, argv[0] the mode, starting from
// `o`: each option by the mode's tables, else by the options every mode
// takes.
template <typename Options, typename... Tables>
Options ReadToolOptions(int argc, char** argv, const char* usage, Refusal refuse, Options o,
                        const Tables&... tables) {
    for (int k = 1; k < argc; ++k) {
        const std::string name = argv[k];
        const std::string value = OptionValue(argc, argv, k, usage, refuse);
        if (!(SetFromTable(tables, o, name, value, refuse) || ... ||
              SetFromTable(kRunOptions, o, name, value, refuse))) {
            refuse("unknown option " + name);
        }
    }
    return o;
}

} // namespace veltrim::mc
