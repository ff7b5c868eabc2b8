"""The PDF report, where the module is built with Qt."""
import os
import re
import subprocess
import sys

import pytest

import veltrim


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
