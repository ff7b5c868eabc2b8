"""The Python module against veltrim-calc: the same library, the same bits."""
import os
import subprocess
import threading

import numpy
import pytest

import veltrim

CALC = os.environ["VELTRIM_CALC"]
DATA = os.environ["VELTRIM_DATA"]

BEAMS = [
    dict(),
    dict(kv=120, angle=16, inherent=3, al=1.5, cu=0.1, fsd=60, field_x=20, field_y=10,
         rectification=2),
    dict(kv=60, field_x=15, field_y=0, fsd=80, rectification="single-phase-full-wave"),
    dict(kv=150, al=4, field_x=5, field_y=40),
]

OPTION = dict(kv="--kv", angle="--angle", inherent="--inherent", al="--al", cu="--cu",
              fsd="--fsd", field_x="--field-x", field_y="--field-y")
RECTIFICATION = {"constant-potential": 1, "three-phase-12-peak": 2, "single-phase-full-wave": 3}


def calc(beam, *extra, tmp_path=None):
    args = [CALC, "--data", DATA]
    for name, value in beam.items():
        if name == "rectification":
            args += ["--rectification", str(RECTIFICATION.get(value, value))]
        else:
            args += [OPTION[name], repr(float(value))]
    run = subprocess.run(args + list(extra), capture_output=True, cwd=tmp_path, check=True)
    return run.stdout.decode()


@pytest.mark.parametrize("beam", BEAMS)
def test_depth_dose_is_veltrim_calc_precise_to_the_last_bit(beam, tmp_path):
    table = veltrim.depth_dose(veltrim.Conditions(**beam))
    rows = [line.split(",") for line in calc(beam, "--precise", tmp_path=tmp_path).split()[1:]]
    assert len(rows) == 60 == len(table.total)
    for column, values in enumerate([table.depth_cm, table.primary, table.scatter, table.total]):
        assert [float(row[column]) for row in rows] == list(values)


def test_results_file_holds_the_bytes_veltrim_calc_writes(tmp_path):
    beam = BEAMS[1]
    calc(beam, "--out", str(tmp_path / "r.txt"), tmp_path=tmp_path)
    assert veltrim.results_file(veltrim.Conditions(**beam)) == (tmp_path / "r.txt").read_bytes()


def test_divergent_scatter_is_veltrim_calc_divergent_to_the_last_bit(tmp_path):
    beam = dict(kv=100, fsd=80, field_x=15, field_y=0)
    conditions = veltrim.Conditions(**beam)
    table = veltrim.depth_dose(conditions, scatter_model="divergent")
    rows = [line.split(",") for line in
            calc(beam, "--precise", "--scatter-model", "divergent", tmp_path=tmp_path).split()[1:]]
    assert [float(row[3]) for row in rows] == list(table.total)
    assert table.total[40] > veltrim.depth_dose(conditions).total[40]
    calc(beam, "--scatter-model", "divergent", "--out", str(tmp_path / "r.txt"), tmp_path=tmp_path)
    written = veltrim.results_file(conditions, scatter_model="divergent")
    assert written == (tmp_path / "r.txt").read_bytes()
    assert written.endswith("散乱モデル, 発散ビーム\r\n".encode("shift_jis"))
    with pytest.raises(veltrim.CalculationError, match="FSD of 50 cm"):
        veltrim.depth_dose(veltrim.Conditions(fsd=45), scatter_model="divergent")


def test_texts_are_read_as_the_window_reads_its_fields():
    c = veltrim.Conditions.from_texts(kv="200 kV", angle="12 deg", inherent="2.5mm", al="abc")
    assert (c.kv, c.angle, c.inherent, c.al) == (150.0, 12.0, 2.5, 0.0)
    assert veltrim.Conditions.from_texts(kv="10").kv == 30.0
    typed = veltrim.Conditions.from_texts(kv="80", al="1.5", field_y="0", rectification=3)
    same = veltrim.Conditions(kv=80, al=1.5, field_y=0, rectification="single-phase-full-wave")
    assert list(veltrim.depth_dose(typed).total) == list(veltrim.depth_dose(same).total)


def test_failures_raise_calculation_error_with_the_programs_message():
    assert issubclass(veltrim.CalculationError, ValueError)
    with pytest.raises(veltrim.CalculationError, match="corner"):
        veltrim.depth_dose(veltrim.Conditions(field_x=80, field_y=80))
    with pytest.raises(veltrim.CalculationError, match="focus-to-surface distance of -5 cm"):
        veltrim.depth_dose(veltrim.Conditions(fsd=-5))
    with pytest.raises(veltrim.CalculationError, match="30"):
        veltrim.spectrum(veltrim.Conditions(kv=20))
    with pytest.raises(veltrim.CalculationError, match="Tungsten.dat"):
        veltrim.depth_dose(veltrim.Conditions(), data="/nonexistent-veltrim-data")
    with pytest.raises(ValueError):
        veltrim.Conditions(rectification=4)
    with pytest.raises(ValueError):
        veltrim.depth_dose(veltrim.Conditions(), scatter_model="fancy")
    # The interpreter carries on as before.
    assert veltrim.depth_dose(veltrim.Conditions()).total[0] == 100.0


def test_spectrum_and_beam_quality_agree_with_veltrim_calc(tmp_path):
    energies, fractions = veltrim.spectrum(veltrim.Conditions())
    assert energies[0] == 0.5 and energies[-1] == 150.0 and len(fractions) == 300
    assert abs(fractions.sum() - 1.0) < 1e-9  # bins below 1e-10 are dropped
    printed = [line.split(",") for line in calc({}, "--spectrum", tmp_path=tmp_path).split()[1:301]]
    assert [float(row[2]) for row in printed] == list(fractions)

    quality = veltrim.beam_quality(veltrim.Conditions(), air_cm=100)
    figures = dict(line.split("=") for line in
                   calc({}, "--quality", "--air", "100", tmp_path=tmp_path).splitlines())
    assert f"{quality['hvl1_mm_al']:.4f}" == figures["hvl1_mm_al"]
    assert f"{quality['mean_energy_keV']:.3f}" == figures["mean_energy_keV"]
    assert quality["homogeneity"] == quality["hvl1_mm_al"] / quality["hvl2_mm_al"]


def test_match_hvl1_finds_the_aluminium_or_says_what_is_reachable():
    added, matched, quality = veltrim.match_hvl1(veltrim.Conditions(), 3.0)
    assert added > 0 and matched.al == pytest.approx(added)
    assert abs(quality["hvl1_mm_al"] - 3.0) <= 0.001
    assert veltrim.beam_quality(matched)["hvl1_mm_al"] == quality["hvl1_mm_al"]
    with pytest.raises(veltrim.CalculationError, match="with none added"):
        veltrim.match_hvl1(veltrim.Conditions(), 1.0)


def test_calculations_in_threads_give_the_same_bits():
    beams = [veltrim.Conditions(**beam) for beam in BEAMS]
    expected = [list(veltrim.depth_dose(c).total) for c in beams]
    results = {}

    def run(k):
        results[k] = [list(veltrim.depth_dose(c).total) for c in beams]

    threads = [threading.Thread(target=run, args=(k,)) for k in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert all(results[k] == expected for k in range(4))


def test_the_help_gives_the_units():
    assert "per cent" in veltrim.depth_dose.__doc__
    assert "mm Al" in veltrim.match_hvl1.__doc__
    assert "kV" in veltrim.Conditions.__init__.__doc__
    assert isinstance(veltrim.depth_dose(veltrim.Conditions()).total, numpy.ndarray)
