#include "tools/validate/DirectRuns.h"

#include "tools/validate/Engine.h"

#include <array>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

namespace veltrim::validate {
namespace {

std::vector<double> Cells(const std::string& line) {
    std::vector<double> cells;
    std::istringstream fields(line);
    std::string cell;
    while (std::getline(fields, cell, ','))
        cells.push_back(std::stod(cell));
    return cells;
}

// The rows of a file; the `# surface,quantity,value,sigma` lines into `surface`.
std::vector<std::vector<double>> ReadTable(const std::filesystem::path& file,
                                           std::map<std::string, std::array<double, 2>>& surface) {
    std::ifstream in(file);
    if (!in)
        throw std::runtime_error("cannot read " + file.string());
    std::vector<std::vector<double>> rows;
    const std::string tag = "# surface,";
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(tag, 0) == 0) {
            std::istringstream fields(line.substr(tag.size()));
            std::string name, value, sigma;
            std::getline(fields, name, ',');
            std::getline(fields, value, ',');
            std::getline(fields, sigma, ',');
            if (name != "quantity")
                surface[name] = {std::stod(value), std::stod(sigma)};
        } else if (!line.empty() && line[0] != '#' && line[0] != 'd' && line[0] != 't')
            rows.push_back(Cells(line));
    }
    return rows;
}

} // namespace

IrradiationConditions ConditionsOf(const DirectBeam& b) {
    IrradiationConditions c = ReferenceBeam();
    c.TubeVoltage = b.Kv;
    c.Rectification = static_cast<RectificationMethod>(b.Rectification);
    c.FieldX = b.FieldX;
    c.FieldY = b.FieldY;
    c.Fsd = b.Fsd;
    return c;
}

DirectRun ReadDirectRun(const std::filesystem::path& folder, const DirectBeam& beam) {
    DirectRun run;
    std::map<std::string, std::array<double, 2>> surface;
    const std::filesystem::path file = folder / (std::string(beam.Name) + ".csv");
    // depth, primary, scatter, sigma, primary PDD, scatter PDD, total PDD, its sigma, ...
    for (const auto& v : ReadTable(file, surface))
        if (v.size() >= 8)
            run.Rows.push_back({v[0], v[1], v[2], v[3], v[6], v[7]});
    const auto take = [&](const char* name, double& value, double* sigma = nullptr) {
        const auto found = surface.find(name);
        if (found == surface.end())
            throw std::runtime_error(file.string() + " has no surface " + name);
        value = found->second[0];
        if (sigma)
            *sigma = found->second[1];
    };
    DirectSurface& s = run.Surface;
    take("primary_tissue_kerma", s.PrimaryTissue);
    take("incident_air_kerma", s.IncidentAirKerma);
    take("scatter_tissue_kerma", s.ScatterTissue, &s.ScatterTissueSigma);
    take("scatter_air_kerma", s.ScatterAir, &s.ScatterAirSigma);
    take("backscatter_factor", s.Backscatter, &s.BackscatterSigma);
    take("surface_tissue_kerma", s.Tissue, &s.TissueSigma);

    const std::filesystem::path fine = folder / (std::string(beam.Name) + "-fine.csv");
    if (std::filesystem::exists(fine))
        // top, middle, thickness, primary, scatter, sigma, total
        for (const auto& v : ReadTable(fine, surface))
            if (v.size() >= 6)
                run.Fine.push_back({v[1], v[3], v[4], v[5]});
    return run;
}

} // namespace veltrim::validate
