"""veltrim.Study: an examination's exposures summed at its points."""
import os
import pathlib
import subprocess

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


def test_doses_come_per_exposure_and_point_and_the_totals_are_their_sums():
    result = two_exposures().compute()
    assert result.dose_mgy.shape == (2, 2)
    assert result.exposures == ["AP", "PA"]
    assert result.depth_cm[1, 0] == 14
    assert numpy.array_equal(result.total_mgy, result.dose_mgy[0] + result.dose_mgy[1])
    assert numpy.all(result.low_mgy <= result.dose_mgy)
    assert numpy.all(result.dose_mgy <= result.high_mgy)
    assert result.beams_computed == 2


def test_saved_studies_read_back(tmp_path):
    study = two_exposures()
    study.save(tmp_path / "study.json")
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


def radiograph_header(path, kvp, area_dose_dgycm2, view):
    """A radiograph's DICOM header (Part 10, explicit VR little endian) written byte by byte:
    what Study.from_dicom reads from an image without any DICOM library here."""
    def element(group, number, vr, value):
        if len(value) % 2:
            value += b"\0" if vr == b"UI" else b" "
        head = group.to_bytes(2, "little") + number.to_bytes(2, "little") + vr
        if vr == b"OB":
            return head + b"\0\0" + len(value).to_bytes(4, "little") + value
        return head + len(value).to_bytes(2, "little") + value

    sop_class, instance = b"1.2.840.10008.5.1.4.1.1.1.1", b"1.2.826.0.1.3680043.2.1125.7.1"
    meta = (element(2, 0x0001, b"OB", b"\0\1") + element(2, 0x0002, b"UI", sop_class)
            + element(2, 0x0003, b"UI", instance) + element(2, 0x0010, b"UI", b"1.2.840.10008.1.2.1"))
    dataset = (element(8, 0x0016, b"UI", sop_class) + element(8, 0x0018, b"UI", instance)
               + element(8, 0x0060, b"CS", b"DX") + element(0x18, 0x0060, b"DS", kvp)
               + element(0x18, 0x115E, b"DS", area_dose_dgycm2)
               + element(0x18, 0x5101, b"CS", view))
    path.write_bytes(b"\0" * 128 + b"DICM" + element(2, 0, b"UL", len(meta).to_bytes(4, "little"))
                     + meta + dataset)
    return path


def test_a_radiograph_computes_as_veltrim_calc_computes_it(tmp_path):
    header = radiograph_header(tmp_path / "pa.dcm", b"81", b"2.5", b"PA")
    study = veltrim.Study.from_dicom(header, ap_thickness_cm=22, lateral_width_cm=34,
                                     points=[("conceptus", 8), ("ovary", 10, -6, 3)])
    assert study.exposure_names == ["event 1"]
    result = study.compute()
    fields = [a[0] for a in result.assumed[0]]
    assert "rectification" in fields and "fsd_cm" in fields
    run = subprocess.run([os.environ["VELTRIM_CALC"], "--study", str(header), "--precise",
                          "--ap-thickness", "22", "--lateral-width", "34",
                          "--interest", "conceptus,8", "--interest", "ovary,10,-6,3"],
                         capture_output=True, text=True, check=True)
    rows = [line.split(",") for line in run.stdout.splitlines() if line.startswith("event 1,")]
    assert [r[2] for r in rows] == ["posterior", "posterior"]
    assert [float(r[5]) for r in rows] == list(result.dose_mgy[0])
    (tmp_path / "pa.json").write_text("{}")
    with pytest.raises(ValueError, match="not a DICOM file"):
        veltrim.Study.from_dicom(tmp_path / "pa.json", ap_thickness_cm=22, lateral_width_cm=34)


RECORDS = pathlib.Path(__file__).resolve().parents[3] / "shared" / "rdsr"


@pytest.mark.skipif(not RECORDS.is_dir(), reason="the real dose records are not here")
def test_a_real_fluoroscopy_record_gives_one_exposure_per_event():
    study = veltrim.Study.from_dicom(RECORDS / "RF-RDSR-GE.dcm", ap_thickness_cm=22,
                                     lateral_width_cm=34)
    assert study.point_names == []
    assert len(study.exposure_names) > 1
    study.add_point("conceptus", 8)
    result = study.compute()
    assert numpy.all(result.low_mgy <= result.dose_mgy)
