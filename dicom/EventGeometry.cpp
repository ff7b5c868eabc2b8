#include "dicom/EventGeometry.h"

#include "core/CFormat.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <numbers>

namespace veltrim {
namespace {

// The side nearest the focus for a DICOM positioner primary angle, and the
// remaining obliquity. The angle turns the detector about the patient's long
// axis from anterior (0, the focus posterior: an under-table tube's PA
// beam) toward the patient's left (LAO, positive); the focus is opposite
// the detector, so LAO 90 enters on the right and RAO 90 on the left.
// The obliquity keeps the same sense (toward LAO positive) and lies in
// [-45, 45] degrees of the side's normal.
void EntryFromAngle(double primaryDeg, EventExposure& exposure) {
    double a = std::remainder(primaryDeg, 360.0); // [-180, 180]
    if (std::abs(a) <= 45.0) {
        exposure.Entry = EntrySide::Posterior;
    } else if (a > 45.0 && a < 135.0) {
        exposure.Entry = EntrySide::Right;
        a -= 90.0;
    } else if (a < -45.0 && a > -135.0) {
        exposure.Entry = EntrySide::Left;
        a += 90.0;
    } else {
        exposure.Entry = EntrySide::Anterior;
        a = a > 0.0 ? a - 180.0 : a + 180.0;
    }
    exposure.AngleDeg = a == 0.0 ? 0.0 : a; // no "-0" in the study
}

// A radiograph's view: DICOM ViewPosition or the dose report's image view.
std::optional<EntrySide> EntryFromView(const std::string& view) {
    if (view == "AP" || view.find("antero-posterior") != std::string::npos ||
        view.find("anterior-posterior") != std::string::npos)
        return EntrySide::Anterior;
    if (view == "PA" || view.find("postero-anterior") != std::string::npos ||
        view.find("posterior-anterior") != std::string::npos)
        return EntrySide::Posterior;
    // A lateral view is named by the side against the detector.
    if (view == "LL" || view == "left lateral")
        return EntrySide::Right;
    if (view == "RL" || view == "right lateral")
        return EntrySide::Left;
    return std::nullopt;
}

void Assume(EventExposure& exposure, const char* field, double value, std::string why) {
    exposure.Assumed.push_back({field, value, std::move(why)});
}

void PlaceEntry(const IrradiationEvent& event, EventExposure& exposure) {
    if (event.PrimaryAngleDeg) {
        EntryFromAngle(*event.PrimaryAngleDeg, exposure);
        if (event.SecondaryAngleDeg && std::abs(*event.SecondaryAngleDeg) >= 1.0)
            Assume(exposure, "angle_deg", exposure.AngleDeg,
                   FormatC("the cranio-caudal tilt of %g deg is not modelled: the beam is taken "
                           "square to the long axis",
                           *event.SecondaryAngleDeg));
        return;
    }
    if (const auto side = EntryFromView(event.View)) {
        exposure.Entry = *side;
        return;
    }
    // Fluoroscopy tubes sit under the table; a radiograph is taken AP.
    exposure.Entry = event.IsFluoroscopy() ? EntrySide::Posterior : EntrySide::Anterior;
    exposure.Assumed.push_back(
        {"entry", std::string(EntryName(exposure.Entry)),
         event.IsFluoroscopy()
             ? "the record gives no positioner angle: an under-table tube's PA beam is taken"
             : "the record gives no positioner angle or view: an AP projection is taken"});
}

// The side of the patient on the table, if the beam can pass the table at
// all: only a C-arm or a fluoroscopy tube is under it; a radiograph's tube
// is on the free side of the patient.
std::optional<EntrySide> TableSide(const IrradiationEvent& event, bool& supineAssumed) {
    if (!event.PrimaryAngleDeg && !event.IsFluoroscopy())
        return std::nullopt;
    const std::string& o = event.PatientOrientation;
    const std::string& m = event.PatientOrientationModifier;
    if (o.find("erect") != std::string::npos || o.find("standing") != std::string::npos)
        return std::nullopt;
    if (m.find("prone") != std::string::npos)
        return EntrySide::Anterior;
    if (m.find("left lateral decubitus") != std::string::npos)
        return EntrySide::Left;
    if (m.find("right lateral decubitus") != std::string::npos)
        return EntrySide::Right;
    supineAssumed = m.find("supine") == std::string::npos;
    return EntrySide::Posterior;
}

void PlaceTable(const IrradiationEvent& event, EventExposure& exposure) {
    bool supineAssumed = false;
    const std::optional<EntrySide> table = TableSide(event, supineAssumed);
    if (!table || *table != exposure.Entry)
        return;
    exposure.TableTransmission = AssumedTableTransmission;
    Assume(exposure, "table_transmission", AssumedTableTransmission,
           std::string(supineAssumed ? "the patient is taken supine, so " : "") +
               "the beam passes the table, whose transmission the record does not give: 0.8 is "
               "typical of a carbon-fibre table with its mattress at 70-100 kV");
}

bool Plausible(const std::optional<double>& distanceCm) {
    return distanceCm && *distanceCm >= ShortestDistanceCm && *distanceCm <= LongestDistanceCm;
}

// Names a recorded distance that cannot be one, so that it is not used.
void IgnoreImplausible(EventExposure& exposure, const char* what,
                       const std::optional<double>& distanceCm) {
    if (distanceCm && !Plausible(distanceCm))
        Assume(exposure, "fsd_cm", *distanceCm,
               FormatC("the recorded %s of %g cm is not a distance of X-ray equipment and is "
                       "not used",
                       what, *distanceCm));
}

// Between the patient and the detector in radiography: the table top or
// the wall stand's cover above the detector.
constexpr double DetectorGapCm = 5.0;
// Without any distance: a radiograph at the usual 100 cm source-detector
// distance; a fluoroscopy beam under the table 50 cm from the focus (the
// focus-skin distance of fixed units must be at least 38 cm).
constexpr double AssumedSidCm = 100.0;
constexpr double AssumedFluoroscopyFsdCm = 50.0;

void PlaceFocus(const IrradiationEvent& event, const RecordPatient& patient,
                EventExposure& exposure) {
    const double along = ThicknessAlongBeam(exposure, patient);
    if (Plausible(event.SourceToEntranceCm)) {
        exposure.FsdCm = *event.SourceToEntranceCm;
        return;
    }
    IgnoreImplausible(exposure, "source-skin distance", event.SourceToEntranceCm);
    IgnoreImplausible(exposure, "source-isocentre distance", event.SourceToIsocentreCm);
    IgnoreImplausible(exposure, "source-detector distance", event.SourceToDetectorCm);
    if (Plausible(event.SourceToIsocentreCm) && *event.SourceToIsocentreCm > along / 2.0) {
        exposure.FsdCm = *event.SourceToIsocentreCm - along / 2.0;
        Assume(exposure, "fsd_cm", exposure.FsdCm,
               "the isocentre is taken at the patient's centre: the source-isocentre distance "
               "less half the patient's thickness along the beam");
    } else if (Plausible(event.SourceToDetectorCm) &&
               *event.SourceToDetectorCm > along + DetectorGapCm + 1.0) {
        exposure.FsdCm = *event.SourceToDetectorCm - along - DetectorGapCm;
        Assume(exposure, "fsd_cm", exposure.FsdCm,
               "the patient is taken 5 cm from the detector: the source-detector distance less "
               "the patient's thickness along the beam and 5 cm");
    } else if (const auto reference = ReferenceDistanceCm(event);
               reference && *reference > along / 2.0) {
        // A dose report's reference point stands for the skin's entrance.
        exposure.FsdCm = *reference;
        Assume(exposure, "fsd_cm", exposure.FsdCm,
               "the record gives no usable distance to the patient: the skin is taken at the "
               "reference point, which stands for the entrance of the beam");
    } else if (event.IsFluoroscopy() || event.PrimaryAngleDeg) {
        exposure.FsdCm = AssumedFluoroscopyFsdCm;
        Assume(exposure, "fsd_cm", exposure.FsdCm,
               "the record gives no usable distance: 50 cm from the focus to the skin is taken, "
               "typical of fluoroscopy (fixed units must keep at least 38 cm)");
    } else {
        exposure.FsdCm = AssumedSidCm - along - DetectorGapCm;
        Assume(exposure, "fsd_cm", exposure.FsdCm,
               "the record gives no usable distance: a 100 cm source-detector distance with the "
               "patient 5 cm from the detector is taken");
    }
}

// The first length in a text ("15cm", "530 mm"), cm.
std::optional<double> LengthIn(const std::string& text) {
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (!std::isdigit(static_cast<unsigned char>(text[at])))
            continue;
        double value = 0.0;
        const auto [end, error] = std::from_chars(text.data() + at, text.data() + text.size(),
                                                  value, std::chars_format::fixed);
        std::size_t unit = static_cast<std::size_t>(end - text.data());
        while (unit < text.size() && text[unit] == ' ')
            ++unit;
        const std::string word = text.substr(unit, 2);
        const auto is = [&word](const char* name) {
            return word.size() == 2 && std::tolower(word[0]) == name[0] &&
                   std::tolower(word[1]) == name[1];
        };
        if (error == std::errc() && is("cm"))
            return value;
        if (error == std::errc() && is("mm"))
            return value / 10.0;
        at = unit; // past this number
    }
    return std::nullopt;
}

bool Has(const std::string& text, const char* word) {
    return std::search(text.begin(), text.end(), word, word + std::strlen(word),
                       [](char a, char b) { return std::tolower(a) == std::tolower(b); }) !=
           text.end();
}

} // namespace

const char* EntryName(EntrySide side) {
    // In the order of EntrySide.
    static constexpr const char* Names[] = {"anterior", "posterior", "left", "right"};
    return Names[static_cast<std::size_t>(side)];
}

double ThicknessAlongBeam(const EventExposure& exposure, const RecordPatient& patient) {
    const bool frontal =
        exposure.Entry == EntrySide::Anterior || exposure.Entry == EntrySide::Posterior;
    const double across = frontal ? patient.ApThicknessCm : patient.LateralWidthCm;
    return across / std::cos(exposure.AngleDeg * std::numbers::pi / 180.0);
}

void PlaceBeam(const IrradiationEvent& event, const RecordPatient& patient,
               EventExposure& exposure) {
    PlaceEntry(event, exposure);
    PlaceTable(event, exposure);
    PlaceFocus(event, patient, exposure);
}

std::optional<double> ReferenceDistanceCm(const IrradiationEvent& e) {
    if (Plausible(e.SourceToReferenceCm))
        return e.SourceToReferenceCm;
    const std::string& d = e.ReferencePointDefinition;
    const std::optional<double> offset = LengthIn(d);
    // "15cm from Isocenter toward Source", "15cm below BeamIsocenter" (the
    // under-table focus is below): toward the focus.
    if (Has(d, "isocent") && offset && Plausible(e.SourceToIsocentreCm) &&
        !Has(d, "toward detector") && !Has(d, "towards detector") && !Has(d, "above"))
        return *e.SourceToIsocentreCm - *offset;
    // "30cm in Front of Image Input Surface"
    if ((Has(d, "image input") || Has(d, "image receptor")) && offset &&
        Plausible(e.SourceToDetectorCm))
        return *e.SourceToDetectorCm - *offset;
    if (Has(d, "detector plane") && !offset && Plausible(e.SourceToDetectorCm))
        return e.SourceToDetectorCm;
    // "530 mm from tube focus towards detector"
    if ((Has(d, "from tube focus") || Has(d, "from focus") || Has(d, "from source") ||
         Has(d, "from the focus") || Has(d, "from focal spot")) &&
        offset && Plausible(offset))
        return offset;
    return std::nullopt;
}

} // namespace veltrim
