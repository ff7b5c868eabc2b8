#pragma once

namespace veltrim::mc {

// The surface mode of veltrim-kernels: argv[0] is "surface".
int SurfaceMain(int argc, char** argv);

} // namespace veltrim::mc
