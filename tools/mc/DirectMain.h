#pragma once

namespace veltrim::mc {

// The direct mode of veltrim-kernels: argv[0] is "direct".
int DirectMain(int argc, char** argv);

} // namespace veltrim::mc
