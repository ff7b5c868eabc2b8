"""Beam files: everything a calculation's numbers depend on survives a trip
through veltrim-calc and Python, each way, to the last bit."""
import json
import os
import random
import struct
import subprocess
from pathlib import Path

import jsonschema
import pytest

import veltrim
from beams import CALC

SCHEMA = json.loads((Path(__file__).resolve().parents[2] / "docs" / "beam-file.schema.json")
                    .read_text(encoding="utf-8"))
MEDIA = ["icru-4", "icru-44", "water", "pmma"]


def saved(path):
    """The bytes of a beam file, checked against the published schema."""
    data = Path(path).read_bytes()
    jsonschema.validate(json.loads(data), SCHEMA)
    return data


def bits(value):
    return None if value is None else struct.pack("<d", value)


def decimal(rng, low, high, places):
    return "%.*f" % (rng.randint(0, places), rng.uniform(low, high))


def random_inputs(rng):
    """A beam's inputs as the command line and Python's keywords take them:
    texts with up to three decimals (as a physicist types them), a medium,
    thickness, model, exposure and air path, each sometimes left out."""
    texts = {"kv": decimal(rng, 40, 150, 2), "angle": decimal(rng, 8, 20, 2),
             "inherent": decimal(rng, 0.5, 4, 3), "al": decimal(rng, 0, 5, 3),
             "cu": rng.choice(["0", decimal(rng, 0, 0.5, 3)]), "fsd": decimal(rng, 60, 200, 1),
             "field_x": decimal(rng, 5, 40, 2),
             "field_y": rng.choice(["0", decimal(rng, 5, 40, 2), decimal(rng, 5, 40, 2)])}
    extras = {"scatter_model": rng.choice(["classic", "divergent"]), "medium": rng.choice(MEDIA)}
    if rng.random() < 0.5:
        extras["thickness"] = rng.randint(20, 120) / 2
    way = rng.choice(["none", "air_kerma", "tube_output", "kap", "esak"])
    if way == "tube_output":
        extras.update(tube_output=round(rng.uniform(20, 100), rng.randint(0, 4)),
                      mas=round(rng.uniform(1, 100), rng.randint(0, 2)))
        if rng.random() < 0.5:
            extras["output_distance"] = round(rng.uniform(50, 150), 1)
    elif way != "none":
        extras[way] = round(rng.uniform(0.1, 5), rng.randint(1, 5))
    if rng.random() < 0.3:
        extras["air_cm"] = round(rng.uniform(0, 100), 2)
    return texts, rng.randint(1, 3), extras


def option(name):
    return "--" + {"air_cm": "air"}.get(name, name).replace("_", "-")


def dose_rows(printed):
    """The --dose --precise table: its # lines and each row's numbers."""
    lines = printed.decode().splitlines()
    return ([line for line in lines if line.startswith("# ")],
            [[float(v) for v in line.split(",")] for line in lines[1:]
             if not line.startswith("#") and line[:1].isdigit()])


def calc(tmp_path, *args):
    return subprocess.run(CALC + ["--dose", "--precise"] + list(args), capture_output=True,
                          cwd=tmp_path, check=True).stdout


def python_dose(beam):
    return veltrim.absolute_dose(beam.conditions, scatter_model=beam.scatter_model,
                                 medium=beam.medium, thickness=beam.thickness, **beam.exposure)


def same_numbers(rows, dose):
    assert [row[1:4] for row in rows] == [list(r) for r in zip(dose.primary, dose.scatter,
                                                                dose.total)]


def test_random_beams_round_trip_to_the_bit_through_veltrim_calc_and_python(tmp_path):
    rng = random.Random(37)
    for n in range(200):
        texts, rectification, extras = random_inputs(rng)
        # veltrim-calc -> Python -> veltrim-calc: the typed texts are kept,
        # and the beam opened computes the bits of the command line.
        args = [a for name, text in texts.items() for a in (option(name), text)]
        args += ["--rectification", str(rectification)]
        args += [a for name, value in extras.items() for a in (option(name), str(value))]
        printed = calc(tmp_path, *args, "--save-beam", "cli.json")
        beam = veltrim.Beam.load(tmp_path / "cli.json")
        beam.save(tmp_path / "python.json")
        assert saved(tmp_path / "python.json") == saved(tmp_path / "cli.json"), n
        same_numbers(dose_rows(printed)[1], python_dose(beam))

        # Python -> veltrim-calc -> Python: the numbers as given (not after a
        # mm-cm-mm trip) reach the command line, and come back as given.
        given = {name: float(text) for name, text in texts.items()}
        conditions = veltrim.Conditions(rectification=rectification, **given)
        keywords = dict(extras, measured_hvl1=round(rng.uniform(1, 10), rng.randint(1, 4)))
        original = veltrim.Beam(conditions, name="beam %d" % n, **keywords)
        original.save(tmp_path / "given.json")
        printed = calc(tmp_path, "--beam", "given.json", "--save-beam", "again.json")
        assert saved(tmp_path / "again.json") == saved(tmp_path / "given.json"), n
        same_numbers(dose_rows(printed)[1], python_dose(original))
        back = veltrim.Beam.load(tmp_path / "again.json")
        for name, value in given.items():
            assert bits(getattr(back.conditions, name)) == bits(value), (n, name)
        assert (back.conditions.rectification, back.name, back.scatter_model, back.medium) == (
            rectification, original.name, original.scatter_model, original.medium)
        for name in ("thickness", "air_cm", "measured_hvl1"):
            assert bits(getattr(back, name)) == bits(keywords.get(name)), (n, name)
        assert {k: bits(v) for k, v in back.exposure.items()} == {
            k: bits(v) for k, v in original.exposure.items()}


def test_a_number_the_window_would_read_back_otherwise_is_not_saved(tmp_path):
    for given in (dict(kv=200.0), dict(al=float("nan")), dict(fsd=float("inf"))):
        with pytest.raises(ValueError, match="cannot be saved"):
            veltrim.Conditions(**given).save(tmp_path / "beam.json")
    assert not (tmp_path / "beam.json").exists()
    # A text as typed, even one the window reads only in part, is kept.
    with pytest.warns(UserWarning):
        typed = veltrim.Conditions.from_texts(kv="80 kV", al="1,5")
    typed.save(tmp_path / "typed.json")
    assert json.loads(saved(tmp_path / "typed.json"))["conditions"]["al"] == "1,5"


def test_conditions_load_names_what_it_leaves_out(tmp_path):
    veltrim.Beam(veltrim.Conditions(), scatter_model="divergent", medium="water",
                 air_kerma=2.0).save(tmp_path / "beam.json")
    with pytest.warns(UserWarning, match="divergent scatter model, the medium, the exposure"):
        veltrim.Conditions.load(tmp_path / "beam.json")
    (tmp_path / "broken.json").write_text('{"format": 1, "name": "x"')
    with pytest.raises(ValueError, match="damaged"):
        veltrim.Conditions.load(tmp_path / "broken.json")


def test_a_name_not_utf8_on_the_command_line(tmp_path):
    def run(*args):
        return subprocess.run([os.fsencode(a) for a in CALC] + list(args), capture_output=True,
                              cwd=tmp_path)

    # The name, from the file's name, is only a label: its stray bytes
    # become U+FFFD and the file opens.
    name = os.fsencode(str(tmp_path)) + b"/caf\xe9.json"
    run(b"--save-beam", name).check_returncode()
    assert veltrim.Beam.load(name).name == "caf\ufffd"
    run(b"--beam", name).check_returncode()
