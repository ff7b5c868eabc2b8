#include "dicom/DicomUnits.h"
#include "dicom/RecordReading.h"

#include <algorithm>
#include <cctype>
#include <dcmtk/config/osconfig.h>
#include <dcmtk/dcmdata/dcdatset.h>
#include <dcmtk/dcmdata/dcdeftag.h>
#include <dcmtk/dcmdata/dcelem.h>
#include <dcmtk/dcmdata/dcitem.h>

namespace veltrim {
namespace {

class Header {
  public:
    Header(DcmDataset& dataset, std::vector<std::string>& skipped)
        : dataset_(dataset), skipped_(skipped) {}

    std::string Text(const DcmTagKey& tag, unsigned long index = 0) const {
        OFString value;
        dataset_.findAndGetOFString(tag, value, index);
        return value.c_str();
    }

    unsigned long Count(const DcmTagKey& tag) const {
        DcmElement* element = nullptr;
        return dataset_.findAndGetElement(tag, element).good() && element ? element->getVM() : 0;
    }

    // A numeric attribute times `factor`; none when absent or empty, and
    // named as skipped when it is not a number.
    std::optional<double> Number(const DcmTagKey& tag, double factor = 1.0,
                                 unsigned long index = 0) const {
        const std::string text = Text(tag, index);
        if (text.empty())
            return std::nullopt;
        const std::optional<double> value = ReadDecimal(text, factor);
        if (!value)
            skipped_.push_back(std::string(DcmTag(tag).getTagName()) + ": \"" + text +
                               "\" is not a number");
        return value;
    }

  private:
    DcmDataset& dataset_;
    std::vector<std::string>& skipped_;
};

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// The header's filters (FilterMaterial may name several, each with its own
// minimum and maximum thickness in mm): the mean of the two per filter.
void ReadFilters(const Header& header, IrradiationEvent& event) {
    const unsigned long count = header.Count(DCM_FilterMaterial);
    for (unsigned long i = 0; i < count; ++i) {
        const std::string material = Upper(header.Text(DCM_FilterMaterial, i));
        const auto least = header.Number(DCM_FilterThicknessMinimum, 1.0, i);
        const auto most = header.Number(DCM_FilterThicknessMaximum, 1.0, i);
        const std::optional<double> mm = least && most
                                             ? std::optional<double>((*least + *most) / 2.0)
                                         : least ? least
                                                 : most;
        if (material == "NONE" || material.empty())
            continue;
        if (!mm)
            event.OtherFilters.push_back(material + " of unknown thickness");
        else if (material == "COPPER")
            event.CuMm = event.CuMm.value_or(0.0) + *mm;
        else if (material == "ALUMINUM" || material == "ALUMINIUM")
            event.AlMm = event.AlMm.value_or(0.0) + *mm;
        else
            event.OtherFilters.push_back(material);
    }
}

} // namespace

void ReadImageHeader(DcmDataset& dataset, DoseRecord& record) {
    const Header header(dataset, record.Skipped);
    const std::string modality = header.Text(DCM_Modality);
    if (modality == "CT")
        throw DoseRecordError(MessageId::RecordCtImage, {Arg(Message(MessageId::RecordCtRefusal))});
    if (modality == "MG")
        throw DoseRecordError(MessageId::RecordMgImage, {Arg(Message(MessageId::RecordMgRefusal))});
    IrradiationEvent event;
    event.Number = 1;
    event.Kvp = header.Number(DCM_KVP);
    event.KapGycm2 = header.Number(DCM_ImageAndFluoroscopyAreaDoseProduct, 0.1); // dGy cm2
    if (!event.Kvp && !event.KapGycm2)
        throw DoseRecordError(
            MessageId::RecordNoTechnique,
            {modality.empty() ? Arg(Message(MessageId::RecordModalityNotGiven)) : Arg(modality)});
    record.Kind = RecordKind::ImageHeader;
    event.Uid = header.Text(DCM_SOPInstanceUID);
    event.DateTime = header.Text(DCM_AcquisitionDateTime);
    if (event.DateTime.empty())
        event.DateTime = header.Text(DCM_ContentDate) + header.Text(DCM_ContentTime);
    event.Protocol = header.Text(DCM_ProtocolName);
    event.Type = modality == "RF" ? "Fluoroscopy" : "Stationary Acquisition";
    // The finest of the three exposure attributes that is present.
    event.Mas = header.Number(DCM_ExposureInuAs, 1e-3);
    if (!event.Mas)
        event.Mas = header.Number(DCM_ExposureInmAs);
    if (!event.Mas)
        event.Mas = header.Number(DCM_Exposure);
    event.ExposureTimeMs = header.Number(DCM_ExposureTime);
    event.TubeCurrentMa = header.Number(DCM_XRayTubeCurrent);
    event.View = Upper(header.Text(DCM_ViewPosition));
    event.PrimaryAngleDeg = header.Number(DCM_PositionerPrimaryAngle);
    event.SecondaryAngleDeg = header.Number(DCM_PositionerSecondaryAngle);
    event.SourceToDetectorCm = header.Number(DCM_DistanceSourceToDetector, 0.1);
    event.SourceToPatientCm = header.Number(DCM_DistanceSourceToPatient, 0.1);
    event.SourceToEntranceCm = header.Number(DCM_DistanceSourceToEntrance, 0.1);
    event.BodyPartThicknessCm = header.Number(DCM_BodyPartThickness, 0.1);
    event.EntranceDoseMgy = header.Number(DCM_EntranceDoseInmGy);
    if (!event.EntranceDoseMgy)
        event.EntranceDoseMgy = header.Number(DCM_EntranceDose, 100.0); // dGy
    ReadFilters(header, event);
    record.Events.push_back(std::move(event));
}

} // namespace veltrim
