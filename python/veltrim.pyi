"""Type stubs of the veltrim module (percentage depth dose of diagnostic X-ray beams)."""
import os
from typing import Any, List, Optional, Sequence, Tuple, Union

import numpy

class CalculationError(ValueError): ...

class Conditions:
    kv: float
    angle: float
    inherent: float
    al: float
    cu: float
    fsd: float
    field_x: float
    field_y: float
    rectification: int
    def __init__(self, kv: float = 80.0, angle: float = 12.0, inherent: float = 2.5,
                 al: float = 0.0, cu: float = 0.0, fsd: float = 100.0, field_x: float = 30.0,
                 field_y: float = 30.0, rectification: Union[int, str] = 1) -> None: ...
    @staticmethod
    def from_texts(kv: str = "80", angle: str = "12", inherent: str = "2.5", al: str = "0",
                   cu: str = "0", fsd: str = "100", field_x: str = "30", field_y: str = "30",
                   rectification: Union[int, str] = 1, *, strict: bool = False
                   ) -> "Conditions": ...
    @staticmethod
    def load(path: Union[str, "os.PathLike[str]"]) -> "Conditions": ...
    def save(self, path: Union[str, "os.PathLike[str]"], name: Optional[str] = None,
             scatter_model: str = "classic") -> None: ...

class Beam:
    """A saved beam: the conditions and everything else a calculation's numbers depend on."""
    name: Optional[str]
    conditions: Conditions
    scatter_model: str
    medium: str
    thickness: Optional[float]
    air_cm: Optional[float]
    measured_hvl1: Optional[float]
    tube_output: Optional[float]  # the tube's, kept for a later mAs
    output_distance: Optional[float]
    exposure: dict  # the exposure as given, as keywords of absolute_dose
    def __init__(self, conditions: Conditions, *, name: Optional[str] = None,
                 scatter_model: str = "classic", medium: str = "icru-4",
                 thickness: Optional[float] = None, air_cm: Optional[float] = None,
                 measured_hvl1: Optional[float] = None, air_kerma: Optional[float] = None,
                 tube_output: Optional[float] = None, mas: Optional[float] = None,
                 output_distance: Optional[float] = None, kap: Optional[float] = None,
                 esak: Optional[float] = None) -> None: ...
    @staticmethod
    def load(path: Union[str, "os.PathLike[str]"]) -> "Beam": ...
    def save(self, path: Union[str, "os.PathLike[str]"]) -> None: ...

class DepthDose:
    depth_cm: numpy.ndarray
    primary: numpy.ndarray
    scatter: numpy.ndarray
    total: numpy.ndarray

class AbsoluteDose:
    """Dose of every 0.5-cm layer: mGy, or per unit incident air kerma without an exposure."""
    depth_cm: numpy.ndarray
    primary: numpy.ndarray
    scatter: numpy.ndarray
    total: numpy.ndarray
    incident_air_kerma_mGy: Optional[float]
    backscatter_factor: float
    entrance_surface_air_kerma_mGy: Optional[float]
    surface_dose_mGy: float
    medium: str
    scatter_model: str
    thickness_cm: Optional[float]
    exit_surface_dose_mGy: Optional[float]
    exposure: Optional[str]
    def at(self, depth_cm: float) -> float: ...
    def over(self, from_cm: float, to_cm: float) -> Tuple[float, float]: ...

class DoseMap:
    """The dose over a plane through the axis, in % of the axis's first layer; NaN beyond reach."""
    plane: str
    lateral_cm: numpy.ndarray
    depth_cm: numpy.ndarray
    primary: numpy.ndarray
    scatter: numpy.ndarray
    total: numpy.ndarray
    total_mgy: Optional[numpy.ndarray]  # with an exposure

def spectrum(conditions: Conditions, data: Optional[str] = None
             ) -> Tuple[numpy.ndarray, numpy.ndarray]: ...
def beam_quality(conditions: Conditions, air_cm: float = 0.0,
                 data: Optional[str] = None) -> dict: ...
def depth_dose(conditions: Conditions, scatter_model: str = "classic",
               data: Optional[str] = None, thickness: Optional[float] = None,
               medium: str = "icru-4") -> DepthDose: ...
def results_file(conditions: Conditions, data: Optional[str] = None,
                 scatter_model: str = "classic", thickness: Optional[float] = None,
                 medium: str = "icru-4") -> bytes: ...
def match_hvl1(conditions: Conditions, hvl1_mm_al: float, filter: str = "al",
               air_cm: float = 0.0, data: Optional[str] = None
               ) -> Tuple[float, Conditions, dict]: ...
def absolute_dose(conditions: Conditions, air_kerma: Optional[float] = None,
                  tube_output: Optional[float] = None, mas: Optional[float] = None,
                  output_distance: float = 100.0, kap: Optional[float] = None,
                  esak: Optional[float] = None, scatter_model: str = "classic",
                  data: Optional[str] = None, thickness: Optional[float] = None,
                  medium: str = "icru-4") -> AbsoluteDose: ...
def dose_at(conditions: Conditions, points: numpy.ndarray, scatter_model: str = "classic",
            data: Optional[str] = None, thickness: Optional[float] = None,
            medium: str = "icru-4", air_kerma: Optional[float] = None,
            tube_output: Optional[float] = None, mas: Optional[float] = None,
            output_distance: float = 100.0, kap: Optional[float] = None,
            esak: Optional[float] = None) -> numpy.ndarray: ...
def dose_map(conditions: Conditions, plane: str = "xz", scatter_model: str = "classic",
             data: Optional[str] = None, thickness: Optional[float] = None,
             medium: str = "icru-4", air_kerma: Optional[float] = None,
             tube_output: Optional[float] = None, mas: Optional[float] = None,
             output_distance: float = 100.0, kap: Optional[float] = None,
             esak: Optional[float] = None) -> DoseMap: ...
def report(conditions: Conditions, path: Union[str, "os.PathLike[str]"], *,
           air_kerma: Optional[float] = None, tube_output: Optional[float] = None,
           mas: Optional[float] = None, output_distance: float = 100.0,
           kap: Optional[float] = None, esak: Optional[float] = None,
           dose_at: Optional[float] = None, dose_to: Optional[float] = None,
           air_cm: float = 0.0, scatter_model: str = "classic", language: str = "en",
           data: Optional[str] = None, thickness: Optional[float] = None,
           medium: str = "icru-4", points: Sequence[Tuple[float, float, float]] = (),
           patient_id: str = "", exam: str = "", exam_date: str = "",
           physicist: str = "") -> None: ...

class StudyResult:
    """The dose of each exposure at each point ([exposure, point] arrays, mGy, all repeats)
    with its range, and the totals per point."""
    exposures: List[str]
    points: List[str]
    depth_cm: numpy.ndarray
    off_axis_cm: numpy.ndarray
    dose_mgy: numpy.ndarray
    low_mgy: numpy.ndarray
    high_mgy: numpy.ndarray
    total_mgy: numpy.ndarray
    total_low_mgy: numpy.ndarray
    total_high_mgy: numpy.ndarray
    assumed: List[List[Tuple[str, str, str]]]
    beams_computed: int

class Study:
    """An examination: a box patient, named points and every exposure (docs/study.md)."""
    exposure_names: List[str]
    point_names: List[str]
    def __init__(self, ap_thickness_cm: float, lateral_width_cm: float,
                 medium: str = "icru-4") -> None: ...
    @staticmethod
    def load(path: Union[str, "os.PathLike[str]"]) -> "Study": ...
    @staticmethod
    def from_dicom(path: Union[str, "os.PathLike[str]"], *, ap_thickness_cm: float,
                   lateral_width_cm: float,
                   points: Sequence[Tuple[Any, ...]] = ()) -> "Study":
        """A DICOM dose record or radiograph header: one exposure per event, each default
        named (docs/dose-records.md); points as (name, depth_cm[, left_cm, head_cm])."""
        ...
    def save(self, path: Union[str, "os.PathLike[str]"]) -> None: ...
    def add_point(self, name: str, depth_cm: float, left_cm: float = 0.0, head_cm: float = 0.0,
                  depth_uncertainty_cm: float = 0.0, left_uncertainty_cm: float = 0.0,
                  head_uncertainty_cm: float = 0.0) -> None: ...
    def add_exposure(self, conditions: Conditions, name: str, entry: str = "anterior", *,
                     scatter_model: str = "classic", angle_deg: float = 0.0,
                     centre_left_cm: float = 0.0, centre_head_cm: float = 0.0,
                     centre_depth_cm: Optional[float] = None,
                     air_kerma: Optional[float] = None, tube_output: Optional[float] = None,
                     mas: Optional[float] = None, output_distance: Optional[float] = None,
                     kap: Optional[float] = None, esak: Optional[float] = None,
                     reference_air_kerma: Optional[float] = None,
                     reference_distance: Optional[float] = None, repeats: int = 1,
                     table_transmission: Optional[float] = None,
                     table_al_mm: Optional[float] = None,
                     exposure_uncertainty_pct: Optional[float] = None,
                     hvl1_mm_al: Optional[float] = None) -> None: ...
    def compute(self, data: Optional[str] = None) -> StudyResult: ...
    def report(self, path: Union[str, "os.PathLike[str]"], *, physicist: str = "",
               data: Optional[str] = None, patient_id: str = "", exam: str = "",
               exam_date: str = "") -> None: ...
