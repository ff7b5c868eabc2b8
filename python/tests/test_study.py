"""veltrim.Study: an examination's exposures summed at its points."""
import json
import os
import pathlib

import numpy
import pytest

import veltrim

BEAM = dict(kv=80, al=1, field_x=35, field_y=43, rectification=2)


def two_exposures():
    study = veltrim.Study(22, 34)
    study.add_point("conceptus", 8, left_cm=2, depth_uncertainty_cm=1)
    study.add_point("ovary", 10, left_cm=-6, head_cm=3)
    conditions = veltrim.Conditions(**BEAM)
    study.add_exposure(conditions, "AP", scatter_model="divergent", air_kerma=1.25,
                       exposure_uncertainty_pct=0)
    study.add_exposure(conditions, "PA", entry="posterior", scatter_model="divergent",
                       air_kerma=1.25, table_transmission=0.8, repeats=2)
    return study


def test_doses_are_the_point_dose_and_the_totals_their_sums():
    result = two_exposures().compute()
    assert result.dose_mgy.shape == (2, 2)
    assert result.exposures == ["AP", "PA"]
    point = veltrim.dose_at(veltrim.Conditions(**BEAM), numpy.array([[2.0, 0.0, 8.0]]),
                            scatter_model="divergent", thickness=22, air_kerma=1.25)
    assert result.dose_mgy[0, 0] == point[0, 3]
    assert result.depth_cm[1, 0] == 14
    assert numpy.array_equal(result.total_mgy, result.dose_mgy[0] + result.dose_mgy[1])
    assert numpy.all(result.low_mgy <= result.dose_mgy)
    assert numpy.all(result.dose_mgy <= result.high_mgy)
    assert result.beams_computed == 2


def test_saved_studies_read_back_and_match_the_published_schema(tmp_path):
    jsonschema = pytest.importorskip("jsonschema")
    study = two_exposures()
    study.save(tmp_path / "study.json")
    schema_path = pathlib.Path(os.environ["VELTRIM_DATA"]).parent / "docs" / "study.schema.json"
    jsonschema.validate(json.loads((tmp_path / "study.json").read_text()),
                        json.loads(schema_path.read_text()))
    again = veltrim.Study.load(tmp_path / "study.json")
    assert again.exposure_names == ["AP", "PA"]
    assert numpy.array_equal(again.compute().high_mgy, study.compute().high_mgy)


def test_contradictory_or_impossible_input_is_refused_naming_the_field():
    study = veltrim.Study(22, 34)
    with pytest.raises(ValueError, match="kap_Gycm2 contradicts air_kerma_mGy"):
        study.add_exposure(veltrim.Conditions(**BEAM), "AP", air_kerma=1, kap=2)
    with pytest.raises(ValueError, match="depth_cm 30"):
        study.add_point("deep", 30)
    with pytest.raises(TypeError, match="colour"):
        study.add_exposure(veltrim.Conditions(**BEAM), "AP", air_kerma=1, colour="red")


@pytest.mark.skipif(not hasattr(veltrim.Study, "report"), reason="built without Qt")
def test_report_is_written_with_the_physicist(tmp_path):
    two_exposures().report(tmp_path / "study.pdf", physicist="A. Curie")
    assert (tmp_path / "study.pdf").read_bytes().startswith(b"%PDF")
