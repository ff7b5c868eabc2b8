#include "files/TableExport.h"

#include "core/CFormat.h"
#include "core/Messages.h"
#include "core/NumberReading.h"

namespace veltrim {

const char* ProgramVersion() {
    return VELTRIM_VERSION;
}

TableRecord RecordOf(const BeamResult& beam, const ConditionTexts& typed) {
    TableRecord record;
    record.Typed = typed;
    record.Conditions = beam.Conditions;
    record.Model = beam.Model;
    record.PhantomMedium = beam.PhantomMedium;
    record.ThicknessCm = beam.ThicknessCm;
    if (beam.Quality)
        record.Hvl1MmAl = beam.Quality->Hvl1MmAl;
    if (beam.DepthDose) {
        record.Rows = beam.DepthDose->Rows;
        record.Table = &beam.DepthDose->Table;
    }
    if (beam.Absolute && beam.Absolute->Given)
        record.Dose = beam.Absolute.get();
    return record;
}

std::string DescribeExposure(const Exposure& given, Language language) {
    const auto line = [language](MessageId quantity, const std::string& amount) {
        return Text(language, quantity) + " " + amount;
    };
    switch (given.Kind) {
    case ExposureKind::TubeOutput:
        return line(MessageId::ExposureTubeOutput,
                    Text(language, MessageId::DoseTubeOutputGiven,
                         {FormatC("%g", given.Value), FormatC("%g", given.Mas),
                          FormatC("%g", given.OutputDistanceCm)}));
    case ExposureKind::KermaAreaProduct:
        return line(MessageId::ExposureKap, FormatC("%g Gy cm2", given.Value));
    case ExposureKind::EntranceSurfaceKerma:
        return line(MessageId::ExposureEsak, FormatC("%g mGy", given.Value));
    case ExposureKind::IncidentAirKerma:
    default:
        return line(MessageId::ExposureAirKerma, FormatC("%g mGy", given.Value));
    }
}

std::string ExposureText(const Exposure& given, const char* format) {
    const auto number = [&](double value) { return FormatC(format, value); };
    std::string text = std::string(ExposureWay(given.Kind)) + ' ' + number(given.Value);
    switch (given.Kind) {
    case ExposureKind::IncidentAirKerma:
    case ExposureKind::EntranceSurfaceKerma:
        return text + " mGy";
    case ExposureKind::TubeOutput:
        return text + " uGy/mAs x " + number(given.Mas) + " mAs at " +
               number(given.OutputDistanceCm) + " cm";
    case ExposureKind::KermaAreaProduct:
        return text + " Gy cm2";
    }
    return text;
}

std::string TableCsvBytes(const TableRecord& record) {
    std::string bytes;
    const auto line = [&bytes](const char* name, const std::string& value) {
        bytes += "# ";
        bytes += name;
        bytes += '=';
        bytes += value;
        bytes += '\n';
    };
    const ConditionTexts& t = record.Typed;
    const IrradiationConditions& c = record.Conditions;
    line("program", std::string("Veltrim ") + ProgramVersion());
    // The values the calculation read: the voltage as held to its range, the
    // rest as read from the texts, in the units they were typed in.
    line("tube_voltage_kV", ShortestText(c.TubeVoltage));
    line("target_angle_deg", ShortestText(ReadNumber(t.TargetAngle)));
    line("inherent_filtration_mm_al", ShortestText(ReadNumber(t.InherentFiltration)));
    line("al_filter_mm", ShortestText(ReadNumber(t.AlFilter)));
    line("cu_filter_mm", ShortestText(ReadNumber(t.CuFilter)));
    line("fsd_cm", ShortestText(ReadNumber(t.Fsd)));
    line("field_x_cm", ShortestText(ReadNumber(t.FieldX)));
    line("field_y_cm", ShortestText(ReadNumber(t.FieldY)));
    line("rectification", WaveformNamesOf(c.Rectification).Record);
    line("scatter_model", record.Model == ScatterModel::Divergent ? "divergent" : "classic");
    line("medium", Message(MediumName(record.PhantomMedium)).In(Language::English));
    if (record.ThicknessCm)
        line("phantom_thickness_cm", ShortestText(*record.ThicknessCm));
    if (record.Hvl1MmAl)
        line("hvl1_mm_al", ShortestText(*record.Hvl1MmAl));
    const AbsoluteDose* dose = record.Dose;
    if (dose != nullptr && dose->Given) {
        line("exposure", ExposureText(*dose->Given, "%.17g"));
        line("incident_air_kerma_mGy", ShortestText(dose->IncidentAirKermaMgy));
        line("backscatter_factor", ShortestText(dose->PerKerma.Backscatter));
        line("entrance_surface_air_kerma_mGy", ShortestText(dose->EntranceSurfaceAirKermaMgy()));
        line("surface_dose_mGy", ShortestText(dose->Mgy(dose->PerKerma.Surface)));
    }

    bytes += "depth_from_cm,depth_to_cm,primary_percent,scatter_percent,total_percent";
    if (dose != nullptr && dose->Given)
        bytes += ",primary_mGy,scatter_mGy,total_mGy";
    bytes += '\n';
    for (int d = 1; d <= record.Rows && record.Table != nullptr; ++d) {
        const auto& row = (*record.Table)[d];
        bytes += ShortestText(0.5 * (d - 1)) + ',' + ShortestText(0.5 * d) + ',' +
                 ShortestText(row[PrimaryPdd]) + ',' + ShortestText(row[ScatterPdd]) + ',' +
                 ShortestText(row[TotalPdd]);
        if (dose != nullptr && dose->Given) {
            const DosePerAirKerma& k = dose->PerKerma;
            bytes += ',' + ShortestText(dose->Mgy(k.Primary[d])) + ',' +
                     ShortestText(dose->Mgy(k.Scatter[d])) + ',' +
                     ShortestText(dose->Mgy(k.Total[d]));
        }
        bytes += '\n';
    }
    return bytes;
}

} // namespace veltrim
