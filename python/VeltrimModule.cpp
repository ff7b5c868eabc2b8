// The Python module `veltrim`: the calculations of a beam as functions of a
// conditions object, returning numpy arrays. Each gives the bits of
// veltrim-calc --precise for the same conditions, since both go through
// CalculateBeam over data read once per data folder.
#include "python/Bindings.h"

#include <pybind11/numpy.h>

PYBIND11_MODULE(veltrim, m) {
    using namespace veltrim::python;
    m.doc() = "Percentage depth dose of diagnostic X-ray beams (30-150 kV) in ICRU soft tissue, "
              "from the surface to 30 cm in 0.5-cm layers, split into primary and scatter.";
    MakeForkSafe();
    // numpy's entry points are looked up at their first use, behind a guard
    // that a second thread would wait on holding the interpreter lock, which
    // the import inside the lookup needs: look them up now, on one thread.
    py::dtype::of<double>();
    BindErrors(m);
    BindConditions(m);
    BindSpectrum(m);
    BindQuality(m);
    BindDepthDose(m);
    BindAbsoluteDose(m);
    BindPointDose(m);
    BindStudy(m);
#ifdef VELTRIM_REPORTS
    BindReport(m);
#endif
}
