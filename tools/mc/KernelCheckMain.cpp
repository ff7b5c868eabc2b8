// veltrim-kernel-check: the self-checks of the scatter kernels against the
// tissue tables. Usage: veltrim-kernel-check [DATA_FOLDER] (default "data").

#include "tools/mc/KernelCheck.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc > 2) {
        std::fputs("usage: veltrim-kernel-check [DATA_FOLDER]\n", stderr);
        return 2;
    }
    try {
        bool passed = false;
        const std::string report =
            veltrim::mc::RunKernelChecks(argc == 2 ? argv[1] : "data", passed);
        std::fputs(report.c_str(), stdout);
        std::puts(passed ? "\nall checks passed" : "\nSOME CHECKS FAILED");
        return passed ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "veltrim-kernel-check: %s\n", e.what());
        return 1;
    }
}
