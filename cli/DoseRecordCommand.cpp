#include "cli/DoseRecordCommand.h"

#include "cli/CalcOutput.h"
#include "cli/OptionSetters.h"
#include "core/CFormat.h"
#include "dicom/StudyJson.h"

#include <algorithm>
#include <iostream>
#include <optional>
#include <stdexcept>

namespace veltrim {
namespace {

constexpr const char* Usage =
    "usage: veltrim-calc --read-dose-record FILE.dcm --ap-thickness CM --lateral-width CM\n"
    "                    [--interest NAME,DEPTH_CM[,LEFT_CM,HEAD_CM]]... [--save-study "
    "FILE.json]";

struct DoseRecordOptions {
    std::string File;
    std::optional<double> ApThickness, LateralWidth;
    std::vector<StudyPoint> Points;
    std::optional<std::string> SaveStudy;
};

StudyPoint InterestPoint(const std::string& value) {
    std::vector<std::string> parts(1);
    for (char c : value) {
        if (c == ',')
            parts.emplace_back();
        else
            parts.back().push_back(c);
    }
    if (parts[0].empty() || (parts.size() != 2 && parts.size() != 4))
        throw std::invalid_argument("--interest takes NAME,DEPTH_CM[,LEFT_CM,HEAD_CM], not \"" +
                                    value + "\"");
    StudyPoint point{parts[0], Number("--interest", parts[1])};
    if (parts.size() == 4) {
        point.LeftCm = Number("--interest", parts[2]);
        point.HeadCm = Number("--interest", parts[3]);
    }
    return point;
}

DoseRecordOptions ParseDoseRecordOptions(const std::vector<std::string>& args) {
    DoseRecordOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (i + 1 >= args.size())
            throw std::invalid_argument(name + " needs a value\n" + Usage);
        const std::string& value = args[++i];
        if (name == "--read-dose-record")
            options.File = value;
        else if (name == "--ap-thickness")
            options.ApThickness = Number("--ap-thickness", value);
        else if (name == "--lateral-width")
            options.LateralWidth = Number("--lateral-width", value);
        else if (name == "--interest")
            options.Points.push_back(InterestPoint(value));
        else if (name == "--save-study")
            options.SaveStudy = value;
        else
            throw std::invalid_argument("unknown option with --read-dose-record: " + name + "\n" +
                                        Usage);
    }
    if (!options.ApThickness || !options.LateralWidth)
        throw std::invalid_argument(
            "a dose record does not give the patient's size: add --ap-thickness and "
            "--lateral-width (cm)\n" +
            std::string(Usage));
    return options;
}

std::string Figure(const std::optional<double>& value) {
    return value ? FormatC("%.6g", *value) : "none";
}

} // namespace

bool IsDoseRecordCommand(const std::vector<std::string>& args) {
    return std::find(args.begin(), args.end(), "--read-dose-record") != args.end();
}

int RunDoseRecordCommand(const std::vector<std::string>& args) {
    DoseRecordOptions options;
    try {
        options = ParseDoseRecordOptions(args);
    } catch (const std::invalid_argument& e) {
        std::cerr << "veltrim-calc: " << e.what() << '\n';
        return 2;
    }
    try {
        const DoseRecord record = ReadDoseRecord(options.File);
        const StudyPatient patient{*options.ApThickness, *options.LateralWidth};
        const std::vector<StudyExposure> exposures = StudyExposures(record, patient);
        std::string skipped;
        for (const std::string& s : record.Skipped)
            skipped += (skipped.empty() ? "" : "; ") + s;
        std::cout << "# kind=" << KindName(record.Kind) << '\n'
                  << "# events=" << record.Events.size() << '\n'
                  << "# skipped=" << (skipped.empty() ? "none" : skipped) << '\n'
                  << "# record_kap_Gycm2=" << Figure(record.AccumulatedKapGycm2) << '\n'
                  << "# events_kap_Gycm2=" << Figure(EventsKapGycm2(record)) << '\n';
        std::size_t assumed = 0;
        for (const StudyExposure& x : exposures)
            assumed += x.Assumed.size();
        std::cout << "# assumed=" << assumed << " defaults over " << exposures.size()
                  << " exposures (listed in the study)\n";
        if (options.SaveStudy &&
            !WriteUserFile(*options.SaveStudy,
                           StudyJson(record, exposures, patient, options.Points),
                           "could not save the study"))
            return 1;
        return 0;
    } catch (const DoseRecordError& e) {
        std::cerr << "veltrim-calc: " << e.what() << '\n';
        return 1;
    }
}

} // namespace veltrim
