// The binary form of the model data: taken only when it was made from the
// very bytes of the data files, rebuilt when it is damaged, and never the
// cause of a different number.

#include "engine/ModelCache.h"

#include "common/ShippedData.h"
#include "common/TempFolder.h"
#include "core/DataFile.h"
#include "engine/CalculateBeam.h"

#include <array>
#include <cstring>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <stdexcept>

namespace {

using namespace veltrim;
namespace fs = std::filesystem;
using veltrim::testing::TempFolder;

using Table = std::array<double, 4>;

// A data folder of two small files and a cache root beside it; the table is
// the sum of each file's bytes, counted each time it is parsed.
struct SmallFolder : TempFolder {
    SmallFolder() {
        Write("data/a.dat", "1,2,3\n");
        Write("data/b.dat", "4,5,6\n");
    }
    std::unique_ptr<Table> Take() {
        const ModelCache cache(Path() / "cache", Path() / "data");
        return cache.Take<Table>("small", {"a.dat", "b.dat"}, [&] {
            ++parsed;
            auto table = std::make_unique<Table>();
            for (const char* name : {"a.dat", "b.dat"}) {
                std::ifstream in(Path() / "data" / name, std::ios::binary);
                if (!in)
                    throw std::runtime_error(name);
                for (char c; in.get(c);)
                    (*table)[static_cast<std::size_t>(c) % 4] += c;
            }
            return table;
        });
    }
    fs::path CacheFile() const {
        return ModelCache(Path() / "cache", Path() / "data").FileOf("small");
    }
    int parsed = 0;
};

TEST(ModelCache, ParsesOnceThenTakesTheBinaryFormUntilABytesChanges) {
    SmallFolder folder;
    const Table first = *folder.Take();
    EXPECT_EQ(*folder.Take(), first);
    EXPECT_EQ(folder.parsed, 1);
    // The same size and modification time, other bytes (as cp -p of an
    // edited copy would leave it).
    const fs::file_time_type stamp = fs::last_write_time(folder / "data/b.dat");
    folder.Write("data/b.dat", "4,5,7\n");
    fs::last_write_time(folder / "data/b.dat", stamp);
    const Table changed = *folder.Take();
    EXPECT_NE(changed, first);
    EXPECT_EQ(folder.parsed, 2);
    EXPECT_EQ(*folder.Take(), changed);
    EXPECT_EQ(folder.parsed, 2);
}

// Each kind of damage: the table is parsed again (never read wrong) and the
// binary form made afresh.
TEST(ModelCache, RebuildsADamagedTruncatedOrForeignBinaryForm) {
    SmallFolder folder;
    const Table good = *folder.Take();
    const std::uintmax_t size = fs::file_size(folder.CacheFile());
    // A byte changed to another, whatever it held (a record's time stamp may
    // hold any byte).
    const auto flip = [](std::fstream& f, std::streamoff at) {
        f.seekg(at);
        const int was = f.get();
        f.seekp(at);
        f.put(static_cast<char>(was ^ 0x5a));
    };
    const auto damages = std::array<std::function<void(std::fstream&)>, 4>{
        [](std::fstream& f) { f.seekp(0).put('X'); },                             // foreign magic
        [&](std::fstream& f) { flip(f, 80); },                                    // a source record
        [&](std::fstream& f) { flip(f, static_cast<std::streamoff>(size) - 3); }, // the table
        [](std::fstream& f) { f.seekp(0, std::ios::end) << "more"; },             // grown
    };
    int parsed = folder.parsed;
    for (const auto& damage : damages) {
        {
            std::fstream file(folder.CacheFile(), std::ios::in | std::ios::out | std::ios::binary);
            damage(file);
        }
        EXPECT_EQ(*folder.Take(), good);
        EXPECT_EQ(folder.parsed, ++parsed);
        EXPECT_EQ(*folder.Take(), good);
        EXPECT_EQ(folder.parsed, parsed) << "not made afresh";
    }
    fs::resize_file(folder.CacheFile(), size / 2);
    EXPECT_EQ(*folder.Take(), good);
    EXPECT_EQ(folder.parsed, parsed + 1);
}

TEST(ModelCache, AnUnwritableCacheLeavesTheParsedTables) {
    SmallFolder folder;
    folder.Write("cache", "a file where the cache folder would go");
    const Table first = *folder.Take();
    EXPECT_EQ(*folder.Take(), first);
    EXPECT_EQ(folder.parsed, 2);
}

// A file gone since its binary form was made: the parse, and what it throws,
// is what the caller gets, never the table of the file that was.
TEST(ModelCache, AMissingSourceIsToldByTheParser) {
    SmallFolder folder;
    folder.Take();
    fs::remove(folder / "data/a.dat");
    EXPECT_THROW(folder.Take(), std::runtime_error);
}

BeamResult EveryTable(const ModelData& data) {
    CalculationOptions options;
    options.Model = ScatterModel::Divergent;
    options.Quality = true;
    options.AirCm = 50;
    options.Absolute = true;
    options.ThicknessCm = 17.5;
    IrradiationConditions conditions = DefaultConditions();
    conditions.Fsd = 85; // between two point-focus sets
    return CalculateBeam(conditions, options, data);
}

void ExpectSameBits(const BeamResult& a, const BeamResult& b) {
    ASSERT_EQ(a.DepthDose->Rows, b.DepthDose->Rows);
    EXPECT_EQ(std::memcmp(&a.DepthDose->Table, &b.DepthDose->Table, sizeof a.DepthDose->Table), 0);
    EXPECT_EQ(std::memcmp(&a.Spectrum.Spectrum, &b.Spectrum.Spectrum, sizeof a.Spectrum.Spectrum),
              0);
    EXPECT_EQ(std::memcmp(&a.Quality->Hvl1MmAl, &b.Quality->Hvl1MmAl, sizeof(double)), 0);
    const DosePerAirKerma& x = a.Absolute->PerKerma;
    const DosePerAirKerma& y = b.Absolute->PerKerma;
    EXPECT_EQ(std::memcmp(&x.Total, &y.Total, sizeof x.Total), 0);
    EXPECT_EQ(std::memcmp(&x.Surface, &y.Surface, sizeof x.Surface), 0);
    EXPECT_EQ(std::memcmp(&x.Backscatter, &y.Backscatter, sizeof x.Backscatter), 0);
}

// The whole calculation from the binary forms (every kind of table: the
// attenuation, air, tissue, parallel, point-focus, exit-ratio and surface
// sets), and again after one of them was damaged, equals the one from the
// text to the last bit.
TEST(ModelCache, ACalculationThroughTheCacheEqualsOneFromTheText) {
    ASSERT_TRUE(veltrim::testing::KernelsShipped());
    const TempFolder root;
    const BeamResult text =
        EveryTable(*ModelData::Load(veltrim::testing::ShippedData, ModelCache({}, {})));
    const auto cached = [&] {
        return EveryTable(*ModelData::Load(veltrim::testing::ShippedData,
                                           ModelCache(root.Path(), veltrim::testing::ShippedData)));
    };
    ExpectSameBits(cached(), text); // makes the binary forms
    const ModelCache cache(root.Path(), veltrim::testing::ShippedData);
    ASSERT_TRUE(fs::exists(cache.FileOf("icru-4.PDS-focus-75")));
    ASSERT_TRUE(fs::exists(cache.FileOf("icru-4.PDS-exit-20")));
    ExpectSameBits(cached(), text); // reads them
    {
        std::fstream file(cache.FileOf("icru-4.PDS-data"),
                          std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(777777);
        file.put('\x42');
    }
    ExpectSameBits(cached(), text);
}

// A depth dose reads the tables it needs and no others.
TEST(ModelCache, ADepthDoseReadsOnlyItsTables) {
    ASSERT_TRUE(veltrim::testing::KernelsShipped());
    const TempFolder root;
    const auto data = ModelData::Load(veltrim::testing::ShippedData,
                                      ModelCache(root.Path(), veltrim::testing::ShippedData));
    CalculateBeam(DefaultConditions(), CalculationOptions{}, *data);
    std::set<std::string> made;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root.Path()))
        if (entry.is_regular_file())
            made.insert(entry.path().filename().string());
    EXPECT_EQ(made, (std::set<std::string>{"attenuation.bin", "icru-4.tissue.bin",
                                           "icru-4.PDS-data.bin"}));
}

// The window's one ModelData is kept while its files stay as they were read,
// and replaced when one changed or a missing one appeared; the attenuation
// tables, read once at the start, are kept through it.
TEST(ModelData, CurrentTakesUpAChangedOrAppearedFileOnly) {
    const auto shipped = ModelData::Load(veltrim::testing::ShippedData, ModelCache({}, {}));
    shipped->Tissue();
    EXPECT_EQ(ModelData::Current(shipped), shipped);

    TempFolder folder;
    for (const char* file : {TungstenFile, AluminiumFile, CopperFile, PrimaryDoseFile})
        fs::copy_file(veltrim::testing::ShippedData / file, folder.Path() / file);
    const auto data =
        ModelData::Load(folder.Path(), ModelCache(folder.Path() / "cache", folder.Path()));
    EXPECT_THROW(data->Tissue(), DataFileError);
    fs::copy_file(veltrim::testing::ShippedData / TissueFile, folder.Path() / TissueFile);
    const auto appeared = ModelData::Current(data);
    ASSERT_NE(appeared, data);
    const double primary = appeared->Tissue().PrimaryDose[100];
    EXPECT_EQ(&appeared->Attenuation(), &data->Attenuation());

    // The same size, written at once: seen by its time stamps or, within a
    // tick of the file system's clock, by being too new to trust.
    std::string text = veltrim::testing::ReadBytes(folder.Path() / PrimaryDoseFile);
    const std::size_t digit = text.find_last_of("0123456789");
    text[digit] = text[digit] == '9' ? '8' : static_cast<char>(text[digit] + 1);
    folder.Write(PrimaryDoseFile, text);
    const auto changed = ModelData::Current(appeared);
    ASSERT_NE(changed, appeared);
    EXPECT_NE(changed->Tissue().PrimaryDose, appeared->Tissue().PrimaryDose);
    EXPECT_EQ(appeared->Tissue().PrimaryDose[100], primary) << "what was handed out stays";
}

} // namespace
