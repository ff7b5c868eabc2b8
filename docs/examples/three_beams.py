"""The percentage depth dose of three beams, from the veltrim module.

    PYTHONPATH=build/python python3 docs/examples/three_beams.py docs/examples/three-beams.png
"""
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt

import veltrim

beams = {
    "60 kV, 2.5 mm Al, 10 x 10 cm, FSD 60": veltrim.Conditions(kv=60, fsd=60, field_x=10,
                                                              field_y=10),
    "80 kV, 2.5 mm Al, 30 x 30 cm, FSD 100": veltrim.Conditions(),
    "120 kV, 2.5 mm Al + 0.1 mm Cu, 20 x 20 cm, FSD 100": veltrim.Conditions(
        kv=120, cu=0.1, field_x=20, field_y=20),
}

figure, axes = plt.subplots(figsize=(7, 4.5))
for (label, conditions), colour in zip(beams.items(), ["tab:red", "black", "tab:blue"]):
    dose = veltrim.depth_dose(conditions)
    hvl1 = veltrim.beam_quality(conditions)["hvl1_mm_al"]
    axes.semilogy(dose.depth_cm, dose.total, color=colour,
                  label=f"{label} (HVL1 {hvl1:.2f} mm Al)")
    axes.semilogy(dose.depth_cm, dose.scatter, color=colour, linestyle=":")
axes.set_xlabel("Depth in ICRU soft tissue (cm)")
axes.set_ylabel("PDD (%), total and scatter (dotted)")
axes.set_xlim(0, 30)
axes.set_ylim(0.1, 120)
axes.grid(True, which="both", alpha=0.3)
axes.legend(fontsize=8)
figure.tight_layout()
figure.savefig(sys.argv[1] if len(sys.argv) > 1 else "three-beams.png", dpi=100)
