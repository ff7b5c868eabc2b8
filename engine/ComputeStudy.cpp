#include "engine/ComputeStudy.h"

#include "core/CFormat.h"
#include "core/DataFile.h"
#include "core/ModelConstants.h"
#include "engine/CalculateBeam.h"
#include "engine/StudyBeams.h"
#include "engine/StudyGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

namespace veltrim {
namespace {

// The values across a range: its centre, and its ends kept inside [lo, hi].
std::vector<double> Across(double centre, double half, double lo, double hi) {
    if (half <= 0.0)
        return {centre};
    return {centre, std::max(lo, centre - half), std::min(hi, centre + half)};
}

// One computation of a beam in its slab at all the places of the points.
struct BeamGroup {
    BeamResult Beam;
    double AlTransmission = 1.0; // of the table's aluminium, which is in the key
};

void Append(std::string& key, const void* bytes, std::size_t size) {
    key.append(static_cast<const char*>(bytes), size);
}

// Exposures alike in all of this share one computation.
std::string GroupKey(const IrradiationConditions& c, const StudyExposure& e, Medium medium,
                     double thickness, const std::vector<PhantomPoint>& points) {
    std::string key = ConditionsKey(c);
    const double figures[] = {static_cast<double>(e.Model), static_cast<double>(medium), thickness,
                              e.TableAlMm.value_or(0.0)};
    Append(key, figures, sizeof figures);
    for (const PhantomPoint& p : points) {
        const double xyz[] = {p.X, p.Y, p.Z};
        Append(key, xyz, sizeof xyz);
    }
    return key;
}

[[noreturn]] void Failed(const StudyExposure& e, const Message& why) {
    throw StudyError(MessageId::StudyExposureFailed, {Arg(e.Name), Arg(why)});
}

BeamGroup ComputeGroup(const StudyExposure& e, const IrradiationConditions& before, Medium medium,
                       double thickness, std::vector<PhantomPoint> points, const ModelData& data) {
    BeamGroup group;
    try {
        IrradiationConditions conditions = before;
        if (e.TableAlMm && *e.TableAlMm > 0.0) {
            // The table's aluminium hardens the beam the patient receives.
            group.AlTransmission = TableAlTransmission(before, *e.TableAlMm, data);
            conditions.AlFilter += CmFromMm(*e.TableAlMm);
        }
        CalculationOptions options;
        options.Model = e.Model;
        options.PhantomMedium = medium;
        options.Absolute = true;
        options.ThicknessCm = thickness;
        options.Points = std::move(points);
        group.Beam = CalculateBeam(conditions, options, data);
    } catch (const CalculationError& error) { // BeamError too
        Failed(e, error.Cause());
    } catch (const DataFileError& error) {
        Failed(e, error.Problem());
    }
    return group;
}

} // namespace

void CheckKernelReach(const StudyExposure& exposure, const StudyPoint& point,
                      const IrradiationConditions& conditions, int rows, const PhantomPoint& at) {
    if (!WithinKernelReach(conditions, rows, at))
        throw StudyError(MessageId::StudyBeyondKernels,
                         {Arg(exposure.Name), Arg(point.Name),
                          Arg(ShortestText(std::hypot(at.X, at.Y))), Arg(ShortestText(at.Z))});
}

// The places of the points in the beam's slab: each point's centre, then
// the combinations of the ends of its ranges (kept inside the patient);
// point k's run from FirstOf[k] to FirstOf[k + 1]. Every place is checked.
struct PointPlaces {
    std::vector<PhantomPoint> Places;
    std::vector<std::size_t> FirstOf;
};

PointPlaces PlacesOf(const Study& study, const StudyExposure& e, const BeamFrame& frame,
                     const IrradiationConditions& conditions) {
    const double half = 0.5 * study.Patient.LateralWidthCm;
    const int rows = static_cast<int>(DepthRowCount(std::min(ModelMaxDepth, frame.ThicknessCm)));
    PointPlaces out;
    for (const StudyPoint& p : study.Points) {
        const std::size_t first = out.Places.size();
        out.FirstOf.push_back(first);
        out.Places.push_back(InBeam(frame, p.LeftCm, p.HeadCm, p.DepthCm));
        for (const double depth :
             Across(p.DepthCm, p.DepthUncertaintyCm, 0.0, study.Patient.ApThicknessCm))
            for (const double left : Across(p.LeftCm, p.LeftUncertaintyCm, -half, half))
                for (const double head : Across(p.HeadCm, p.HeadUncertaintyCm, -1e300, 1e300))
                    out.Places.push_back(InBeam(frame, left, head, depth));
        for (std::size_t j = first; j < out.Places.size(); ++j) {
            const PhantomPoint& at = out.Places[j];
            if (!(at.Z >= 0.0 && at.Z <= frame.ThicknessCm))
                throw StudyError(MessageId::StudyOutsideObliqueSlab,
                                 {Arg(e.Name), Arg(p.Name), Arg(ShortestText(at.Z))});
            CheckKernelReach(e, p, conditions, rows, at);
        }
    }
    out.FirstOf.push_back(out.Places.size());
    return out;
}

StudyResult ComputeStudy(const Study& study, const ModelData& data) {
    CheckStudy(study);
    const Medium medium = study.Patient.PatientMedium;
    StudyResult result;
    std::map<std::string, double> matched;
    std::map<std::string, std::size_t> groupOf;
    std::vector<BeamGroup> groups;
    for (std::size_t i = 0; i < study.Exposures.size(); ++i) {
        const StudyExposure& e = study.Exposures[i];
        StudyExposureResult record;
        record.Assumed = e.Assumed;
        const IrradiationConditions conditions =
            ExposureConditions(e, data, matched, record.Assumed);
        BeamFrame frame = FrameOf(study.Patient, e);
        record.ThicknessCm = frame.ThicknessCm;
        // Slabs are computed in whole 0.5-cm layers: the chord of an oblique
        // ray (a C-arm's 0.1 degrees included) is taken at the nearest one.
        if (const double slab = std::round(2.0 * frame.ThicknessCm) / 2.0;
            slab != frame.ThicknessCm) {
            record.Assumed.push_back(
                {"slab_thickness_cm", ShortestText(slab),
                 "the patient is " + ShortestText(frame.ThicknessCm) +
                     " cm thick along the central ray; the beam is computed in the nearest "
                     "whole 0.5-cm layer"});
            frame.ThicknessCm = slab;
        }
        const PointPlaces at = PlacesOf(study, e, frame, conditions);
        const std::vector<PhantomPoint>& places = at.Places;
        const std::vector<std::size_t>& firstOf = at.FirstOf;
        const std::string key = GroupKey(conditions, e, medium, frame.ThicknessCm, places);
        auto found = groupOf.find(key);
        if (found == groupOf.end()) {
            groups.push_back(ComputeGroup(e, conditions, medium, frame.ThicknessCm, places, data));
            found = groupOf.emplace(key, groups.size() - 1).first;
        }
        const BeamGroup& group = groups[found->second];
        const AbsoluteDose& absolute = *group.Beam.Absolute;
        record.IncidentAirKermaMgy =
            ExposureAirKermaMgy(e, group.Beam.Conditions, absolute.PerKerma.Backscatter);
        // A measured Ka,e was taken on the skin, behind the table.
        record.Transmission = e.Form.Parts.EsakMgy  ? 1.0
                              : e.TableTransmission ? *e.TableTransmission
                                                    : group.AlTransmission;
        record.ExposurePct = e.UncertaintyPct.value_or(DefaultExposurePct(e.Form));
        if (!e.UncertaintyPct)
            record.Assumed.push_back({"exposure_uncertainty_pct", ShortestText(record.ExposurePct),
                                      "no uncertainty was stated; the default of the exposure's "
                                      "form was taken"});
        // A default beam figure adds its own share; the default exposure
        // uncertainty and scatter model are ranges of their own already, and
        // a slab at most 0.25 cm off the chord changes only the exit's
        // backscatter.
        std::size_t figures = 0;
        for (const AssumedValue& a : record.Assumed)
            if (a.Field != "exposure_uncertainty_pct" && a.Field != "scatter_model" &&
                a.Field != "slab_thickness_cm")
                ++figures;
        const double assumedPct = AssumedFigurePct * std::sqrt(static_cast<double>(figures));
        // As the single beam's dose in mGy (dose per fluence over the air
        // kerma per fluence, times Ka,i), then through the table and repeated.
        const auto mgy = [&](const PointDose& d) {
            return (d.Primary + d.Scatter) / absolute.AirKermaPerFluence *
                   record.IncidentAirKermaMgy * record.Transmission * e.Repeats;
        };
        for (std::size_t k = 0; k < study.Points.size(); ++k) {
            const PhantomPoint& centre = places[firstOf[k]];
            std::vector<double> across;
            for (std::size_t j = firstOf[k] + 1; j < firstOf[k + 1]; ++j)
                across.push_back(mgy(group.Beam.Points[j]));
            const double dose = mgy(group.Beam.Points[firstOf[k]]);
            StudyDose out;
            out.Exposure = i;
            out.Point = k;
            out.DepthCm = centre.Z;
            out.OffAxisCm = std::hypot(centre.X, centre.Y);
            out.Region = RegionOf(centre, e.FsdCm, e.FieldXCm, e.FieldYCm);
            out.Mgy = RangeOf(dose, {record.ExposurePct, ModelAccuracyPct(e.Model, out.Region),
                                     assumedPct, across});
            result.Doses.push_back(out);
        }
        result.Exposures.push_back(std::move(record));
    }
    result.Totals.assign(study.Points.size(), DoseRange{});
    // Summed exposure by exposure, in the study's order, so a repeat and an
    // identical exposure add alike; the ends add as they are correlated
    // (one meter, one patient, one point).
    for (const StudyDose& d : result.Doses) {
        DoseRange& total = result.Totals[d.Point];
        total.Dose += d.Mgy.Dose;
        total.Low += d.Mgy.Low;
        total.High += d.Mgy.High;
    }
    result.BeamsComputed = groups.size();
    return result;
}

} // namespace veltrim
