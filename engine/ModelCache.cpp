#include "engine/ModelCache.h"

#include "core/CFormat.h"
#include "core/ContentHash.h"
#include "core/FileReading.h"
#include "core/FileReplacing.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace veltrim {
namespace {

// "VELTRIM\x01" as a number of this machine: a file of another byte order
// is foreign.
constexpr std::uint64_t Magic = 0x014d4952544c4556ULL;
// Raised whenever the layout of the file below changes.
constexpr std::uint64_t FormatVersion = 2;

// The file: nine numbers, a record of each source file, the table's bytes.
// The header hash covers the numbers before it and the records, the payload
// hash the table.
enum Field {
    FMagic,
    FVersion,
    FTag,
    FName,
    FCount,
    FPayload,
    FMade, // when it was made, ns since the epoch
    FHeaderHash,
    FPayloadHash,
    Fields
};
using Prefix = std::array<std::uint64_t, Fields>;

// No data file comes near this; a larger one is read as text each time.
constexpr std::size_t LargestSource = 64u << 20;
// A file changed less than this before the binary form was made may have
// been changed again within the same tick of its file system's clock.
constexpr std::uint64_t RacyNs = 2'000'000'000;

std::uint64_t Nanoseconds(const timespec& time) {
    return static_cast<std::uint64_t>(time.tv_sec) * 1'000'000'000u +
           static_cast<std::uint64_t>(time.tv_nsec);
}

// Each kind of trouble is told once per process: a run that reads many sets
// says it once, and the text files are read as without a cache.
void TellOnce(std::once_flag& once, const std::string& text) {
    std::call_once(once, [&] { std::fprintf(stderr, "veltrim: note: %s\n", text.c_str()); });
}

void TellDamaged(const std::filesystem::path& file, const char* what) {
    static std::once_flag once;
    TellOnce(once, "the cached model data " + file.string() + " " + what +
                       "; it is made again from the data files");
}

void TellUnwritable(const std::filesystem::path& folder, int error) {
    static std::once_flag once;
    TellOnce(once, "the model data cannot be cached in " + folder.string() + " (" +
                       std::strerror(error) + "); the data files are read each time");
}

bool ReadAt(int fd, void* into, std::size_t size, off_t offset) {
    auto* bytes = static_cast<char*>(into);
    while (size > 0) {
        const ssize_t got = pread(fd, bytes, size, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        bytes += got;
        size -= static_cast<std::size_t>(got);
        offset += got;
    }
    return true;
}

std::uint64_t NameHash(const std::string& name, const std::vector<std::filesystem::path>& sources) {
    std::string all = name;
    for (const std::filesystem::path& source : sources)
        all += '\0' + source.generic_string();
    return ContentHash(all);
}

std::uint64_t HeaderHash(const Prefix& prefix, const std::vector<std::uint64_t>& records) {
    return ContentHash(records.data(), records.size() * sizeof(std::uint64_t),
                       ContentHash(prefix.data(), FHeaderHash * sizeof(std::uint64_t)));
}

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }

  private:
    int fd_;
};

} // namespace

ModelCache ModelCache::For(const std::filesystem::path& dataFolder) {
    if (const char* setting = std::getenv("VELTRIM_CACHE");
        setting && std::string_view(setting) == "off")
        return ModelCache({}, dataFolder);
    // A relative XDG_CACHE_HOME is to be ignored.
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg == '/')
        return ModelCache(std::filesystem::path(xdg) / "veltrim", dataFolder);
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return ModelCache(std::filesystem::path(home) / ".cache" / "veltrim", dataFolder);
    // Services and CI runners often start programs without HOME: the user's
    // home folder is then the one the password database names.
    if (const passwd* user = getpwuid(getuid()); user && user->pw_dir && *user->pw_dir == '/')
        return ModelCache(std::filesystem::path(user->pw_dir) / ".cache" / "veltrim", dataFolder);
    return ModelCache({}, dataFolder);
}

ModelCache::ModelCache(const std::filesystem::path& root, const std::filesystem::path& dataFolder)
    : dataFolder_(dataFolder) {
    if (root.empty())
        return;
    // One subfolder per data folder, however the folder was spelled.
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::absolute(dataFolder, ec);
    if (!ec)
        folder = std::filesystem::weakly_canonical(folder, ec);
    if (ec)
        return;
    folder_ =
        root / FormatC("%016llx", static_cast<unsigned long long>(ContentHash(folder.string())));
}

std::filesystem::path ModelCache::FileOf(const std::string& name) const {
    return folder_ / (name + ".bin");
}

std::uint64_t ModelCache::LayoutTag(std::size_t size, std::size_t align, const char* typeName) {
    const std::uint64_t shape[] = {size, align, sizeof(double), sizeof(int)};
    return ContentHash(shape, sizeof shape, ContentHash(std::string_view(typeName)));
}

ModelCache::Sources
ModelCache::StatSources(const std::string& name,
                        const std::vector<std::filesystem::path>& sources) const {
    Sources found;
    if (!On())
        return found;
    found.Names = NameHash(name, sources);
    found.Records.reserve(RecordFields * sources.size());
    for (const std::filesystem::path& source : sources) {
        struct stat status {};
        // The text reader will say what is wrong with a missing or odd file.
        if (stat((dataFolder_ / source).c_str(), &status) != 0 || !S_ISREG(status.st_mode) ||
            static_cast<std::uint64_t>(status.st_size) > LargestSource)
            return found;
        found.Records.insert(found.Records.end(),
                             {static_cast<std::uint64_t>(status.st_size),
                              Nanoseconds(status.st_mtim), Nanoseconds(status.st_ctim),
                              static_cast<std::uint64_t>(status.st_ino),
                              static_cast<std::uint64_t>(status.st_dev), 0});
    }
    found.Usable = true;
    return found;
}

void ModelCache::HashSources(Sources& found,
                             const std::vector<std::filesystem::path>& sources) const {
    for (std::size_t i = 0; i < sources.size() && found.Usable; ++i) {
        const ReadOutcome file = ReadRegularFile(dataFolder_ / sources[i], LargestSource);
        std::uint64_t* record = &found.Records[i * RecordFields];
        // A file that changed since it was looked at: nothing is trusted or kept.
        if (file.Step != ReadStep::Done || file.Bytes.size() != record[RSize])
            found.Usable = false;
        else
            record[RHash] = ContentHash(file.Bytes);
    }
    found.Hashed = found.Usable;
}

ModelCache::Fetched ModelCache::Fetch(const std::string& name, Sources& found,
                                      const std::vector<std::filesystem::path>& sources,
                                      std::uint64_t tag, void* table, std::size_t size) const {
    const std::filesystem::path file = FileOf(name);
    const Descriptor fd(open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.Get() < 0)
        return Fetched::None; // not made yet (or not readable: it is made again)
    struct stat status {};
    if (fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        TellDamaged(file, "is not a regular file");
        return Fetched::None;
    }
    Prefix prefix{};
    if (static_cast<std::size_t>(status.st_size) < sizeof prefix ||
        !ReadAt(fd.Get(), prefix.data(), sizeof prefix, 0)) {
        TellDamaged(file, "is truncated");
        return Fetched::None;
    }
    if (prefix[FMagic] != Magic || prefix[FVersion] != FormatVersion || prefix[FTag] != tag ||
        prefix[FCount] != sources.size() || prefix[FPayload] != size) {
        TellDamaged(file, "was not made by this build");
        return Fetched::None;
    }
    std::vector<std::uint64_t> records(found.Records.size());
    const std::size_t recordBytes = records.size() * sizeof(std::uint64_t);
    if (static_cast<std::size_t>(status.st_size) != sizeof prefix + recordBytes + size ||
        !ReadAt(fd.Get(), records.data(), recordBytes, sizeof prefix) ||
        HeaderHash(prefix, records) != prefix[FHeaderHash]) {
        TellDamaged(file, "is damaged");
        return Fetched::None;
    }
    // Made for other files: stale, not damaged.
    if (prefix[FName] != found.Names)
        return Fetched::None;
    bool unchanged = true;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const std::uint64_t* was = &records[i * RecordFields];
        const std::uint64_t* is = &found.Records[i * RecordFields];
        unchanged =
            unchanged && std::equal(is, is + RHash, was) && was[RChanged] + RacyNs < prefix[FMade];
    }
    if (!unchanged) {
        if (!found.Hashed)
            HashSources(found, sources);
        for (std::size_t i = 0; i < sources.size() && found.Usable; ++i)
            if (found.Records[i * RecordFields + RSize] != records[i * RecordFields + RSize] ||
                found.Records[i * RecordFields + RHash] != records[i * RecordFields + RHash])
                return Fetched::None;
        if (!found.Usable)
            return Fetched::None;
    }
    if (!ReadAt(fd.Get(), table, size, static_cast<off_t>(sizeof prefix + recordBytes)) ||
        ContentHash(table, size) != prefix[FPayloadHash]) {
        TellDamaged(file, "is damaged");
        return Fetched::None;
    }
    // Read and found the same: kept again with the stamps seen now, which
    // the next run can trust once they have settled.
    return unchanged ? Fetched::Current : Fetched::Moved;
}

void ModelCache::Keep(const std::string& name, Sources& found,
                      const std::vector<std::filesystem::path>& sources, std::uint64_t tag,
                      const void* table, std::size_t size) const {
    if (!found.Usable)
        return;
    if (!found.Hashed)
        HashSources(found, sources);
    // A file that changed while it was parsed may have given a mixture of
    // its old and new numbers: nothing is kept, the next run parses again.
    Sources after = StatSources(name, sources);
    if (after.Usable)
        HashSources(after, sources);
    if (!found.Usable || !after.Usable || after.Records != found.Records)
        return;
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    if (ec) {
        TellUnwritable(folder_, ec.value());
        return;
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    Prefix prefix{
        Magic, FormatVersion,           tag, found.Names, sources.size(), size, Nanoseconds(now),
        0,     ContentHash(table, size)};
    prefix[FHeaderHash] = HeaderHash(prefix, found.Records);
    std::string bytes;
    const std::size_t recordBytes = found.Records.size() * sizeof(std::uint64_t);
    bytes.reserve(sizeof prefix + recordBytes + size);
    bytes.append(reinterpret_cast<const char*>(prefix.data()), sizeof prefix);
    bytes.append(reinterpret_cast<const char*>(found.Records.data()), recordBytes);
    bytes.append(static_cast<const char*>(table), size);
    const ReplaceOutcome outcome = ReplaceFileContents(FileOf(name), bytes, Durability::Complete);
    if (!outcome.Replaced())
        TellUnwritable(folder_, outcome.Error != 0 ? outcome.Error : EACCES);
}

} // namespace veltrim
