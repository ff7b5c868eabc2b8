"""What the module takes: its conditions and keywords, and what it refuses."""
import ast
import os
import pathlib
import re
import subprocess

import pytest

import veltrim
from beams import BEAM


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


def test_the_thickness_reaches_the_depth_dose_the_dose_and_the_results_file():
    conditions = veltrim.Conditions(**BEAM)
    table = veltrim.depth_dose(conditions, scatter_model="divergent", thickness=15)
    assert len(table.total) == 30 and table.depth_cm[-1] == 14.75
    said = "ファントムの厚さ, 15.0, cm\r\n".encode("shift_jis")
    assert veltrim.results_file(conditions, thickness=15).endswith(said)
    dose = veltrim.absolute_dose(conditions, air_kerma=2.0, thickness=15)
    assert dose.thickness_cm == 15
    assert dose.exit_surface_dose_mGy == dose.at(15)
    assert veltrim.absolute_dose(conditions).exit_surface_dose_mGy is None
    with pytest.raises(veltrim.CalculationError, match="thickness 9.5 cm"):
        veltrim.depth_dose(conditions, thickness=9.5)


NAN = float("nan")
AIR = "air_cm: The air path .* from 0 to 1000 cm"
HVL1 = r'hvl1_mm_al: The measured HVL1 ".*" is not a positive number of mm Al\.$'
C = veltrim.Conditions


# The air path is checked as veltrim-calc checks --air, for a beam too; a
# measured HVL1 as veltrim-calc checks --hvl1, in its words.
@pytest.mark.parametrize("error, said, call", [
    (veltrim.CalculationError, "30", lambda: veltrim.spectrum(C(kv=20))),
    (ValueError, "not 1, 2 or 3", lambda: C(rectification=4)),
    *[(TypeError, "rectification takes 1, 2 or 3", lambda v=v: C(rectification=v))
      for v in (2.7, None, True)],
    *[(ValueError, AIR, lambda v=v: veltrim.beam_quality(C(), air_cm=v)) for v in (-1, 1e6, NAN)],
    *[(ValueError, AIR, lambda v=v: veltrim.Beam(C(), air_cm=v)) for v in (-1, 1e6, NAN)],
    (ValueError, "air_cm: ", lambda: veltrim.match_hvl1(C(), 3.0, air_cm=-1)),
    *[(ValueError, HVL1, lambda v=v: veltrim.match_hvl1(C(), v)) for v in (0, -1, NAN)],
    (ValueError, 'measured_hvl1: The measured HVL1 "0" is not',
     lambda: veltrim.Beam(C(), measured_hvl1=0)),
    (ValueError, "scatter_model", lambda: veltrim.depth_dose(C(), scatter_model="fancy"))])
def test_failures_raise_calculation_error_with_the_programs_message(error, said, call):
    assert issubclass(veltrim.CalculationError, ValueError)
    with pytest.raises(error, match=said):
        call()
    # The interpreter carries on as before.
    assert veltrim.depth_dose(C()).total[0] == 100.0


def test_names_with_a_nul_byte_are_refused_not_cut_short(tmp_path):
    (tmp_path / "a").write_text("kept")
    cut = str(tmp_path / "a") + "\0.json"
    for call in (lambda: C().save(cut), lambda: C.load(cut),
                 lambda: veltrim.depth_dose(C(), data=os.environ["VELTRIM_DATA"] + "\0/elsewhere")):
        with pytest.raises(ValueError, match="null byte"):
            call()
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


def literal_defaults(arguments):
    """{keyword: default} of a function's arguments (as ast holds them), each default a literal."""
    named = arguments.args[len(arguments.args) - len(arguments.defaults):] + arguments.kwonlyargs
    return {argument.arg: ast.literal_eval(node) for argument, node
            in zip(named, arguments.defaults + arguments.kw_defaults) if node is not None}

def test_every_keyword_default_is_the_one_the_stub_and_veltrim_calc_state():
    """A default changed on one side only would compute a different beam than
    the type stub, an IDE's hint or veltrim-calc --help tells the user."""
    stub = ast.parse((pathlib.Path(__file__).parent.parent / "veltrim.pyi").read_text())
    help_text = subprocess.run([os.environ["VELTRIM_CALC"], "--help"], check=True,
                               capture_output=True, text=True).stdout
    stated = {}
    for option, default in re.findall(r"\n  --([a-z-]+) [^\n]*?\(default ([^\s,)]+)",
                                      re.sub(r"\n {22}", " ", help_text)):
        stated[option.replace("-", "_")] = default
    assert {"kv", "fsd", "scatter_model", "medium", "output_distance"} <= stated.keys()
    compared = 0
    for owner in [stub] + [node for node in stub.body if isinstance(node, ast.ClassDef)]:
        host = veltrim if owner is stub else getattr(veltrim, owner.name)
        for function in (n for n in owner.body if isinstance(n, ast.FunctionDef)):
            if not hasattr(host, function.name):
                continue  # the report, where the module is built without Qt
            # pybind11 heads the docstring with each overload's signature.
            runtime = [literal_defaults(ast.parse("def %s: pass" % line[:line.rindex(" ->")])
                                        .body[0].args)
                       for line in getattr(host, function.name).__doc__.splitlines()
                       if line.startswith(function.name + "(")]
            for name, value in literal_defaults(function.args).items():
                value = list(value) if isinstance(value, tuple) else value  # a sequence either way
                for overload in runtime:
                    if name in overload:
                        assert overload[name] == value, (function.name, name)
                        compared += 1
                if value is not None and name in stated:
                    text = stated[name]
                    assert (value == float(text) if isinstance(value, (int, float))
                            else value == text), (function.name, name, text)
    assert compared > 40
