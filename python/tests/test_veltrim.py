"""The Python module and veltrim-calc: the same conditions give the same bits."""
import os

import numpy
import pytest

import veltrim
from beams import BEAM, calc_precise, read_export


def test_depth_dose_is_veltrim_calc_precise_to_the_last_bit(tmp_path):
    exported = tmp_path / "table.csv"
    printed = calc_precise(tmp_path, "--export-csv", str(exported))
    rows = [line.split(",") for line in printed.split()[1:]]
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
    def calc(*more):
        printed = calc_precise(tmp_path, "--tube-output", "40", "--mas", "128",
                               "--output-distance", "50", *more)
        return [line.split("=", 1) if line.startswith("# ") else line.split(",")
                for line in printed.splitlines()]

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
                                 output_distance=50, data=os.environ["VELTRIM_DATA"])
    assert len(rows) == 60 == len(dose.total)
    for column, values in enumerate([dose.depth_cm, dose.primary, dose.scatter, dose.total]):
        assert [float(row[column]) for row in rows] == list(values)
        if column > 0:
            key = ["", "primary_mGy", "scatter_mGy", "total_mGy"][column]
            assert [float(row[key]) for row in exported_rows] == list(values)
    for name in ("incident_air_kerma_mGy", "backscatter_factor", "entrance_surface_air_kerma_mGy",
                 "surface_dose_mGy"):
        assert float(names[name]) == getattr(dose, name), name
    assert (dose.exposure, dose.medium) == ("tube-output", names["medium"])
    assert float(calc("--dose-at", "4.2")[1][1]) == dose.at(4.2)
    assert tuple(map(float, calc("--dose-at", "1,9.0")[1][2:])) == dose.over(1, 9)


def test_points_and_maps_are_veltrim_calc_precise_to_the_last_bit(tmp_path):
    def calc(*more):
        printed = calc_precise(tmp_path, *more)
        return [list(map(float, line.split(","))) for line in printed.split()[1:]]

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
    with pytest.raises(ValueError, match=r"\(n, 3\)"):
        veltrim.dose_at(conditions, numpy.zeros((2, 2)))
    with pytest.raises(ValueError, match="xz"):
        veltrim.dose_map(conditions, plane="xy")
