"""The Python module over the library: what its bindings add to CalculateBeam."""
import csv
import os
import re
import subprocess
import sys
import threading
import time

import numpy
import pytest

import veltrim

# Every field away from its default, so that a field mixed up, left out or
# converted in the wrong unit on the way in changes the table.
BEAM = dict(kv=120, angle=16, inherent=3, al=1.5, cu=0.1, fsd=60, field_x=20, field_y=10,
            rectification=2)


def read_export(path):
    """An exported table as other programs read it: its # name=value lines,
    its rows through the csv module, and its numbers through numpy."""
    with open(path, encoding="utf-8", newline="") as f:
        lines = f.read().splitlines()
    names = dict(line[2:].split("=", 1) for line in lines if line.startswith("# "))
    table = [line for line in lines if not line.startswith("#")]
    rows = list(csv.DictReader(table))
    array = numpy.genfromtxt(table, delimiter=",", names=True)
    assert list(array.dtype.names) == list(rows[0].keys())
    return names, rows, array


def test_depth_dose_is_veltrim_calc_precise_to_the_last_bit(tmp_path):
    args = [os.environ["VELTRIM_CALC"], "--data", os.environ["VELTRIM_DATA"], "--precise"]
    for name, value in BEAM.items():
        args += ["--" + name.replace("_", "-"), repr(value)]
    exported = tmp_path / "table.csv"
    printed = subprocess.run(args + ["--export-csv", str(exported)], capture_output=True,
                             cwd=tmp_path, check=True).stdout
    rows = [line.split(",") for line in printed.decode().split()[1:]]
    table = veltrim.depth_dose(veltrim.Conditions(**BEAM))
    assert len(rows) == 60 == len(table.total)
    for column, values in enumerate([table.depth_cm, table.primary, table.scatter, table.total]):
        assert isinstance(values, numpy.ndarray)
        assert [float(row[column]) for row in rows] == list(values)

    # The export holds the same bits, by csv and by numpy, under the
    # conditions as read.
    names, exported_rows, array = read_export(exported)
    for column, values in [("primary_percent", table.primary), ("scatter_percent", table.scatter),
                           ("total_percent", table.total)]:
        assert [float(row[column]) for row in exported_rows] == list(values)
        assert list(array[column]) == list(values)
    assert list((array["depth_from_cm"] + array["depth_to_cm"]) / 2) == list(table.depth_cm)
    assert {name: float(names[key]) for name, key in [
        ("kv", "tube_voltage_kV"), ("angle", "target_angle_deg"),
        ("inherent", "inherent_filtration_mm_al"), ("al", "al_filter_mm"), ("cu", "cu_filter_mm"),
        ("fsd", "fsd_cm"), ("field_x", "field_x_cm"), ("field_y", "field_y_cm")]} == {
        name: value for name, value in BEAM.items() if name != "rectification"}
    assert (names["rectification"], names["scatter_model"]) == ("three-phase 12-peak", "classic")
    quality = veltrim.beam_quality(veltrim.Conditions(**BEAM))
    assert float(names["hvl1_mm_al"]) == quality["hvl1_mm_al"]
    assert names["program"].startswith("Veltrim ")


def test_absolute_dose_is_veltrim_calc_dose_precise_to_the_last_bit(tmp_path):
    # The shipped data with made-up surface kernels where none are shipped yet:
    # 29 files of 80 rings in tissue, then 80 in air, 20 to a line.
    data = tmp_path / "data"
    data.mkdir()
    for entry in os.scandir(os.environ["VELTRIM_DATA"]):
        (data / entry.name).symlink_to(entry.path)
    if not (data / "PDS-surface").exists():
        (data / "PDS-surface").mkdir()
        for e in range(10, 155, 5):
            rings = [0.008 * e ** 0.5 * 0.95 ** c for c in range(1, 81)] * 2
            lines = [",".join("%.6e" % v for v in rings[i:i + 20]) for i in range(0, 160, 20)]
            (data / "PDS-surface" / ("%d.dat" % e)).write_text("\n".join(lines) + "\n")
    args = [os.environ["VELTRIM_CALC"], "--data", str(data), "--precise",
            "--tube-output", "40", "--mas", "128", "--output-distance", "50"]
    for name, value in BEAM.items():
        args += ["--" + name.replace("_", "-"), repr(value)]

    def calc(*more):
        printed = subprocess.run(args + list(more), capture_output=True, cwd=tmp_path, check=True)
        return [line.split("=", 1) if line.startswith("# ") else line.split(",")
                for line in printed.stdout.decode().splitlines()]

    lines = calc("--dose", "--export-csv", str(tmp_path / "dose.csv"))
    names = {line[0][2:]: line[1] for line in lines if line[0].startswith("# ")}
    exported, exported_rows, _ = read_export(tmp_path / "dose.csv")
    for name, value in names.items():
        if name not in ("exposure", "medium", "scatter_model"):
            assert float(exported[name]) == float(value), name
        elif name != "exposure":
            assert exported[name] == value
    rows = [line for line in lines if not line[0].startswith("# ")][1:]
    dose = veltrim.absolute_dose(veltrim.Conditions(**BEAM), tube_output=40, mas=128,
                                 output_distance=50, data=str(data))
    assert len(rows) == 60 == len(dose.total)
    for column, values in enumerate([dose.depth_cm, dose.primary, dose.scatter, dose.total]):
        assert [float(row[column]) for row in rows] == list(values)
        if column > 0:
            key = ["", "primary_mGy", "scatter_mGy", "total_mGy"][column]
            assert [float(row[key]) for row in exported_rows] == list(values)
    assert float(names["incident_air_kerma_mGy"]) == dose.incident_air_kerma_mGy
    assert float(names["backscatter_factor"]) == dose.backscatter_factor
    assert float(names["entrance_surface_air_kerma_mGy"]) == dose.entrance_surface_air_kerma_mGy
    assert float(names["surface_dose_mGy"]) == dose.surface_dose_mGy
    assert (dose.exposure, dose.medium) == ("tube-output", names["medium"])
    assert float(calc("--dose-at", "4.2")[1][1]) == dose.at(4.2)
    assert tuple(map(float, calc("--dose-at", "1,9.0")[1][2:])) == dose.over(1, 9)
    with pytest.raises(veltrim.CalculationError, match="given twice"):
        veltrim.absolute_dose(veltrim.Conditions(), air_kerma=2, kap=1, data=str(data))
    with pytest.raises(veltrim.CalculationError, match="outside the phantom"):
        dose.at(31)


def test_a_saved_beam_computes_the_same_bits_in_veltrim_calc_and_python(tmp_path):
    calc = [os.environ["VELTRIM_CALC"], "--data", os.environ["VELTRIM_DATA"], "--precise"]

    def table(*args):
        return subprocess.run(calc + list(args), capture_output=True, cwd=tmp_path,
                              check=True).stdout

    printed = table("--kv", "120", "--cu", "0.1", "--rectification", "3",
                    "--save-beam", "room.json")
    loaded = veltrim.Conditions.load(tmp_path / "room.json")
    assert repr(loaded) == repr(veltrim.Conditions.from_texts(kv="120", cu="0.1", rectification=3))
    rows = [line.split(",") for line in printed.decode().split()[1:]]
    assert [float(row[3]) for row in rows] == list(veltrim.depth_dose(loaded).total)

    conditions = veltrim.Conditions(**BEAM)
    conditions.save(tmp_path / "python.json", name="Room 3")
    assert veltrim.Conditions.load(str(tmp_path / "python.json")).__repr__() == repr(conditions)
    rows = [line.split(",") for line in table("--beam", "python.json").decode().split()[1:]]
    assert [float(row[3]) for row in rows] == list(veltrim.depth_dose(conditions).total)
    (tmp_path / "broken.json").write_text('{"format": 1, "name": "x"')
    with pytest.raises(ValueError, match="damaged"):
        veltrim.Conditions.load(tmp_path / "broken.json")


def test_conditions_default_to_the_windows_starting_beam_and_read_texts_as_it_does():
    assert repr(veltrim.Conditions()) == repr(veltrim.Conditions.from_texts()) == (
        "veltrim.Conditions(kv=80.0, angle=12.0, inherent=2.5, al=0.0, cu=0.0, fsd=100.0, "
        "field_x=30.0, field_y=30.0, rectification=1)")
    with pytest.warns(UserWarning) as said:
        c = veltrim.Conditions.from_texts(kv="200 kV", angle="12 deg", inherent="2.5mm", al="abc")
    assert (c.kv, c.angle, c.inherent, c.al) == (150.0, 12.0, 2.5, 0.0)
    # As the window's message line tells them: each field with the number used.
    assert [str(w.message) for w in said] == [
        'Tube voltage "200 kV" is not wholly a number: 150 was used.',
        'Target angle "12 deg" is not wholly a number: 12 was used.',
        'Inherent filtration "2.5mm" is not wholly a number: 2.5 was used.',
        'Al filter "abc" is not wholly a number: 0 was used.']
    with pytest.warns(UserWarning, match="held to 30 kV"):
        assert veltrim.Conditions.from_texts(kv="10").kv == 30.0
    with pytest.raises(ValueError, match='cu "1,5" is not a number'):
        veltrim.Conditions.from_texts(cu="1,5", strict=True)
    typed = veltrim.Conditions.from_texts(kv="80", al="1.5", field_y="0", rectification=3)
    same = veltrim.Conditions(kv=80, al=1.5, field_y=0, rectification="single-phase-full-wave")
    assert repr(typed) == repr(same)


def test_the_scatter_model_reaches_the_depth_dose_and_the_results_file():
    conditions = veltrim.Conditions(kv=100, fsd=80, field_x=15, field_y=0)
    divergent = veltrim.depth_dose(conditions, scatter_model="divergent")
    assert divergent.total[40] > veltrim.depth_dose(conditions).total[40]
    said = "散乱モデル, 発散ビーム\r\n".encode("shift_jis")
    assert veltrim.results_file(conditions, scatter_model="divergent").endswith(said)
    assert said not in veltrim.results_file(conditions)


def test_the_thickness_reaches_the_depth_dose_the_dose_and_the_results_file(tmp_path):
    args = [os.environ["VELTRIM_CALC"], "--data", os.environ["VELTRIM_DATA"], "--precise",
            "--thickness", "15", "--scatter-model", "divergent"]
    for name, value in BEAM.items():
        args += ["--" + name.replace("_", "-"), repr(value)]
    printed = subprocess.run(args, capture_output=True, cwd=tmp_path, check=True).stdout
    rows = [line.split(",") for line in printed.decode().split()[1:]]
    conditions = veltrim.Conditions(**BEAM)
    table = veltrim.depth_dose(conditions, scatter_model="divergent", thickness=15)
    assert len(rows) == 30 == len(table.total)
    assert [float(row[3]) for row in rows] == list(table.total)
    said = "ファントムの厚さ, 15.0, cm\r\n".encode("shift_jis")
    assert veltrim.results_file(conditions, thickness=15).endswith(said)
    dose = veltrim.absolute_dose(conditions, air_kerma=2.0, thickness=15)
    assert dose.thickness_cm == 15
    assert dose.exit_surface_dose_mGy == dose.at(15)
    assert veltrim.absolute_dose(conditions).exit_surface_dose_mGy is None
    with pytest.raises(veltrim.CalculationError, match="thickness 9.5 cm"):
        veltrim.depth_dose(conditions, thickness=9.5)


def test_failures_raise_calculation_error_with_the_programs_message():
    assert issubclass(veltrim.CalculationError, ValueError)
    with pytest.raises(veltrim.CalculationError, match="corner"):
        veltrim.depth_dose(veltrim.Conditions(field_x=80, field_y=80))
    with pytest.raises(veltrim.CalculationError, match="focus-to-surface distance of -5 cm"):
        veltrim.depth_dose(veltrim.Conditions(fsd=-5))
    with pytest.raises(veltrim.CalculationError, match="FSD of 50 cm"):
        veltrim.depth_dose(veltrim.Conditions(fsd=45), scatter_model="divergent")
    with pytest.raises(veltrim.CalculationError, match="30"):
        veltrim.spectrum(veltrim.Conditions(kv=20))
    with pytest.raises(veltrim.CalculationError, match="Tungsten.dat"):
        veltrim.depth_dose(veltrim.Conditions(), data="/nonexistent-veltrim-data")
    with pytest.raises(veltrim.CalculationError, match="with none added"):
        veltrim.match_hvl1(veltrim.Conditions(), 1.0)
    with pytest.raises(ValueError, match="not 1, 2 or 3"):
        veltrim.Conditions(rectification=4)
    for odd in (2.7, None, True):
        with pytest.raises(TypeError, match="rectification takes 1, 2 or 3"):
            veltrim.Conditions(rectification=odd)
    # The air path is checked as veltrim-calc checks --air.
    for air in (-1, 1e6, float("nan")):
        with pytest.raises(ValueError, match="air_cm: The air path .* from 0 to 1000 cm"):
            veltrim.beam_quality(veltrim.Conditions(), air_cm=air)
    with pytest.raises(ValueError, match="air_cm: "):
        veltrim.match_hvl1(veltrim.Conditions(), 3.0, air_cm=-1)
    with pytest.raises(ValueError, match="scatter_model"):
        veltrim.depth_dose(veltrim.Conditions(), scatter_model="fancy")
    # The interpreter carries on as before.
    assert veltrim.depth_dose(veltrim.Conditions()).total[0] == 100.0


def test_names_with_a_nul_byte_are_refused_not_cut_short(tmp_path):
    (tmp_path / "a").write_text("kept")
    cut = str(tmp_path / "a") + "\0.json"
    with pytest.raises(ValueError, match="null byte"):
        veltrim.Conditions().save(cut)
    with pytest.raises(ValueError, match="null byte"):
        veltrim.Conditions.load(cut)
    with pytest.raises(ValueError, match="null byte"):
        veltrim.depth_dose(veltrim.Conditions(), data=os.environ["VELTRIM_DATA"] + "\0/elsewhere")
    assert (tmp_path / "a").read_text() == "kept"


def test_spectrum_bins_and_quality_figures_are_where_they_belong():
    energies, fractions = veltrim.spectrum(veltrim.Conditions(kv=80))
    assert energies[0] == 0.5 and energies[-1] == 150.0 and len(fractions) == 300
    assert abs(fractions.sum() - 1.0) < 1e-9  # bins below 1e-10 are dropped
    # No photon reaches the tube voltage: a bin shifted against its energy shows here.
    assert energies[fractions > 0].max() == 79.5

    quality = veltrim.beam_quality(veltrim.Conditions())
    assert quality["hvl1_mm_al"] < quality["hvl2_mm_al"]
    assert quality["homogeneity"] == quality["hvl1_mm_al"] / quality["hvl2_mm_al"]
    # Air hardens the beam.
    hardened = veltrim.beam_quality(veltrim.Conditions(), air_cm=100)
    assert hardened["hvl1_mm_al"] > quality["hvl1_mm_al"]


def test_match_hvl1_gives_the_filter_its_quality_and_the_conditions_with_it():
    added, matched, quality = veltrim.match_hvl1(veltrim.Conditions(), 3.0)
    assert added > 0 and matched.al == pytest.approx(added)
    assert abs(quality["hvl1_mm_al"] - 3.0) <= 0.001
    assert veltrim.beam_quality(matched)["hvl1_mm_al"] == quality["hvl1_mm_al"]


def test_calculations_in_threads_give_the_same_bits():
    beams = [veltrim.Conditions(), veltrim.Conditions(**BEAM),
             veltrim.Conditions(kv=60, field_x=15, field_y=0, fsd=80, rectification=3)]
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


def test_a_relative_data_folder_is_read_where_it_is_now(tmp_path, monkeypatch):
    # The same relative name after a change of directory is another folder:
    # here one that does not exist, so the kept data must not answer for it.
    (tmp_path / "a").mkdir()
    (tmp_path / "b").mkdir()
    (tmp_path / "a" / "d").symlink_to(os.environ["VELTRIM_DATA"])
    monkeypatch.chdir(tmp_path / "a")
    assert veltrim.depth_dose(veltrim.Conditions(), data="d").total[0] == 100.0
    monkeypatch.chdir(tmp_path / "b")
    with pytest.raises(veltrim.CalculationError, match="Tungsten.dat"):
        veltrim.depth_dose(veltrim.Conditions(), data="d")


def test_a_child_forked_beside_calculating_threads_calculates():
    # Threads read the point-focus kernels of new distances while the main
    # thread forks: no lock may reach the child held by a thread it lacks.
    stop = threading.Event()

    def calculate(offset):
        fsd = 50 + offset
        while not stop.is_set():
            veltrim.depth_dose(veltrim.Conditions(fsd=fsd, field_x=10), scatter_model="divergent")
            fsd = fsd + 2 if fsd < 150 else 50 + offset

    threads = [threading.Thread(target=calculate, args=(k,)) for k in range(2)]
    for t in threads:
        t.start()
    hung = 0
    try:
        for _ in range(10):
            pid = os.fork()
            if pid == 0:
                c = veltrim.Conditions(fsd=77, field_x=10)
                os._exit(0 if veltrim.depth_dose(c, scatter_model="divergent").total[0] else 1)
            for _ in range(300):
                done, status = os.waitpid(pid, os.WNOHANG)
                if done:
                    assert os.waitstatus_to_exitcode(status) == 0
                    break
                time.sleep(0.05)
            else:
                hung += 1
                os.kill(pid, 9)
                os.waitpid(pid, 0)
    finally:
        stop.set()
        for t in threads:
            t.join()
    assert hung == 0


def test_points_and_maps_are_veltrim_calc_precise_to_the_last_bit(tmp_path):
    args = [os.environ["VELTRIM_CALC"], "--data", os.environ["VELTRIM_DATA"], "--precise"]
    for name, value in BEAM.items():
        args += ["--" + name.replace("_", "-"), repr(value)]

    def calc(*more):
        printed = subprocess.run(args + list(more), capture_output=True, cwd=tmp_path, check=True)
        return [list(map(float, line.split(","))) for line in printed.stdout.decode().split()[1:]]

    conditions = veltrim.Conditions(**BEAM)
    points = numpy.array([[0, 0, 0.25], [3.5, -2, 7.1], [-18, 4, 20]])
    doses = veltrim.dose_at(conditions, points, scatter_model="divergent")
    rows = calc("--scatter-model", "divergent",
                *[a for p in points for a in ("--point", ",".join(map(repr, p)))])
    assert [row[3:] for row in rows] == doses.tolist()
    # With an exposure, the total in mGy as veltrim-calc's total_mGy; in a
    # finite phantom, which veltrim-calc's points once ignored.
    exposed = veltrim.dose_at(conditions, points[:2], scatter_model="divergent", air_kerma=2.5,
                              thickness=15)
    rows = calc("--scatter-model", "divergent", "--air-kerma", "2.5", "--thickness", "15",
                *[a for p in points[:2] for a in ("--point", ",".join(map(repr, p)))])
    assert [row[3:] for row in rows] == exposed.tolist()
    grid = veltrim.dose_map(conditions, plane="yz", tube_output=40.0, mas=8.0)
    assert grid.total.shape == (60, 121)
    mapped = calc("--map", "y", "--tube-output", "40", "--mas", "8")
    for x, y, z, primary, scatter, total, mgy in mapped:
        column = int(round(y / 0.5)) + 60
        row = int(round(2 * z - 0.5))
        assert (grid.lateral_cm[column], grid.depth_cm[row]) == (y, z)
        assert (grid.primary[row, column], grid.total[row, column]) == (primary, total)
        assert grid.total_mgy[row, column] == mgy
    assert numpy.isnan(grid.total).sum() == 60 * 121 - len(mapped)
    assert veltrim.dose_map(conditions).total_mgy is None
    with pytest.raises(veltrim.CalculationError, match="outside the phantom"):
        veltrim.dose_at(conditions, numpy.array([[0, 0, 31.0]]))
    with pytest.raises(ValueError, match=r"\(n, 3\)"):
        veltrim.dose_at(conditions, numpy.zeros((2, 2)))
    with pytest.raises(ValueError, match="xz"):
        veltrim.dose_map(conditions, plane="xy")


@pytest.mark.skipif(not hasattr(veltrim, "report"), reason="built without Qt: no PDF reports")
def test_the_report_says_what_veltrim_calcs_says_in_either_language(tmp_path):
    def text(pdf):
        printed = subprocess.run(["pdftotext", "-layout", "-enc", "UTF-8", str(pdf), "-"],
                                 capture_output=True, check=True).stdout.decode()
        # The time the report was made may have turned a minute between two.
        return re.sub(r"\d{4}-\d\d-\d\d \d\d:\d\d UTC", "", " ".join(printed.split()))

    subprocess.run([os.environ["VELTRIM_CALC"], "--data", os.environ["VELTRIM_DATA"], "--kv",
                    "120", "--al", "2", "--field-y", "20", "--rectification", "3",
                    "--air-kerma", "3", "--dose-at", "2.5", "--report", "calc.pdf",
                    "--patient-id", "P-17", "--physicist", "A. Curie"],
                   cwd=tmp_path, check=True, capture_output=True)
    conditions = veltrim.Conditions(kv=120, al=2, field_y=20, rectification=3)
    veltrim.report(conditions, tmp_path / "en.pdf", air_kerma=3, dose_at=2.5, patient_id="P-17",
                   physicist="A. Curie")
    english = text(tmp_path / "en.pdf")
    assert english == text(tmp_path / "calc.pdf")
    assert "Patient ID P-17" in english
    quality = veltrim.beam_quality(conditions)
    assert "HVL1 %.4f mm Al" % quality["hvl1_mm_al"] in english

    veltrim.report(conditions, str(tmp_path / "ja.pdf"), air_kerma=3, dose_at=2.5, language="ja",
                   points=[(3, 0, 8)])
    japanese = text(tmp_path / "ja.pdf")
    for words in ("深部線量レポート", "照射条件", "ICRU 4 元素軟組織", "深さ 2.5 cm の線量",
                  "点 3, 0, 8 cm",
                  "%.4f mm Al" % quality["hvl1_mm_al"]):
        assert words in japanese
    (tmp_path / "held.pdf").mkdir()
    with pytest.raises(ValueError, match="folder"):
        veltrim.report(conditions, tmp_path / "held.pdf")
    # The air path is checked as the other functions check it.
    for air in (-1, 1e6, float("nan")):
        with pytest.raises(ValueError, match="air_cm: The air path"):
            veltrim.report(conditions, tmp_path / "air.pdf", air_cm=air)
    assert not (tmp_path / "air.pdf").exists()
    # A name with a NUL byte is not cut short at it: "a\0.pdf" is not "a".
    (tmp_path / "a").write_text("kept")
    with pytest.raises(ValueError, match="null byte"):
        veltrim.report(conditions, str(tmp_path / "a") + "\0.pdf")
    assert (tmp_path / "a").read_text() == "kept"


@pytest.mark.skipif(not hasattr(veltrim, "report"), reason="built without Qt: no PDF reports")
def test_qt_is_mapped_only_for_a_report_and_leaves_the_environment_alone(tmp_path):
    script = """
import os, veltrim
def qt():
    return any("libQt6" in line for line in open("/proc/self/maps"))
veltrim.depth_dose(veltrim.Conditions())
assert not qt(), "Qt mapped without a report"
veltrim.report(veltrim.Conditions(), "r.pdf")
assert qt()
assert "QT_QPA_PLATFORM" not in os.environ, os.environ.get("QT_QPA_PLATFORM")
"""
    environment = {k: v for k, v in os.environ.items() if k != "QT_QPA_PLATFORM"}
    environment["PYTHONPATH"] = os.path.dirname(os.path.abspath(veltrim.__file__))
    subprocess.run([sys.executable, "-c", script], cwd=tmp_path, env=environment, check=True)
    assert (tmp_path / "r.pdf").read_bytes().startswith(b"%PDF-")
