#include "app/DoseTexts.h"

#include "core/CFormat.h"
#include "core/NumberReading.h"
#include "files/TableExport.h"

namespace veltrim {

std::string MgyText(double mgy) {
    return FormatC("%.4g", mgy);
}

std::string FactorText(double factor) {
    return FormatC("%.3f", factor);
}

double RowDepthCm(int row) {
    return row == 0 ? 0.0 : 0.5 * row - 0.25;
}

std::string MediumLine(Medium medium, std::optional<double> thicknessCm, Language language) {
    return Text(language, MessageId::DoseMedium, {PhantomText(medium, thicknessCm, language)});
}

std::string ExitLine(const ExitDose& exit, const AbsoluteDose& dose, Language language) {
    return Text(language, MessageId::DoseExitLine,
                {FormatC("%g", exit.DepthCm), MgyText(dose.Mgy(exit.LastLayerPerKerma.value_or(0))),
                 MgyText(dose.Mgy(exit.SurfacePerKerma.value_or(0)))});
}

std::string ModelLine(ScatterModel model, Language language) {
    return Text(
        language, MessageId::DoseModel,
        {Text(language, model == ScatterModel::Divergent ? MessageId::QualityScatterDivergent
                                                         : MessageId::QualityScatterClassic)});
}

TypedThickness ReadThickness(const std::string& typed) {
    if (typed.empty())
        return {};
    const std::optional<double> cm = ReadWholeNumber(typed);
    if (!cm)
        return {std::nullopt, Message(MessageId::NotANumber,
                                      {Arg(Message(MessageId::DoseThickness)), Arg(typed)})};
    return {cm, ThicknessProblem(*cm)};
}

std::string DoseCsvBytes(const CalculatedBeam& beam, const AbsoluteDose& dose, Language language,
                         const std::optional<ExitDose>& exit) {
    const auto comment = [](const std::string& text) { return "# " + text + "\n"; };
    const auto figure = [&](MessageId caption, const std::string& value) {
        return comment(Text(language, caption) + ": " + value);
    };
    const DosePerAirKerma& k = dose.PerKerma;
    std::string bytes;
    bytes += comment(Text(language, MessageId::DoseConditions, {DescribeBeam(beam, language)}));
    bytes += comment(
        Text(language, MessageId::DoseExposureLine, {DescribeExposure(*dose.Given, language)}));
    bytes += figure(MessageId::DoseIncidentAirKerma, FormatC("%.6g mGy", dose.IncidentAirKermaMgy));
    bytes += figure(MessageId::DoseBackscatter, FormatC("%.6g", k.Backscatter));
    bytes += comment(MediumLine(beam.PhantomMedium, beam.ThicknessCm, language));
    bytes += comment(ModelLine(beam.Model, language));
    if (exit)
        bytes += comment(ExitLine(*exit, dose, language));
    bytes += "depth_cm,primary_mGy,scatter_mGy,total_mGy\n";
    // The surface first, then the layers from the shallowest down.
    bytes += FormatC("%.2f,%.6g,%.6g,%.6g\n", 0.0, dose.Mgy(k.SurfacePrimary),
                     dose.Mgy(k.SurfaceScatter), dose.Mgy(k.Surface));
    for (int d = 1; d <= k.Rows; ++d)
        bytes += FormatC("%.2f,%.6g,%.6g,%.6g\n", RowDepthCm(d), dose.Mgy(k.Primary[d]),
                         dose.Mgy(k.Scatter[d]), dose.Mgy(k.Total[d]));
    return bytes;
}

std::string MapCsvBytes(const CalculatedBeam& beam, const BeamResult& result, const DoseGrid& map,
                        const AbsoluteDose* dose, Language language) {
    const auto comment = [](const std::string& text) { return "# " + text + "\n"; };
    std::string bytes;
    bytes += comment(Text(language, MessageId::DoseConditions, {DescribeBeam(beam, language)}));
    if (dose)
        bytes += comment(Text(language, MessageId::DoseExposureLine,
                              {DescribeExposure(*dose->Given, language)}));
    bytes += comment(MediumLine(beam.PhantomMedium, result.ThicknessCm, language));
    bytes += comment(ModelLine(beam.Model, language));
    bytes += dose ? "x_cm,y_cm,depth_cm,primary,scatter,total,total_mGy\n"
                  : "x_cm,y_cm,depth_cm,primary,scatter,total\n";
    for (std::size_t k = 0; k < map.Points.size(); ++k) {
        const PhantomPoint& p = map.Points[k];
        const PointDose& d = map.Doses[k];
        const double total = d.Primary + d.Scatter;
        bytes += FormatC("%g,%g,%g,%.6g,%.6g,%.6g", p.X, p.Y, p.Z, PointPercent(result, d.Primary),
                         PointPercent(result, d.Scatter), PointPercent(result, total));
        if (dose)
            bytes += FormatC(",%.6g", dose->MgyOfFluenceDose(total));
        bytes += "\n";
    }
    return bytes;
}

} // namespace veltrim
