#include "calculation/ModelCache.h"

#include "core/CFormat.h"
#include "core/ContentHash.h"
#include "core/FileReading.h"
#include "core/FileReplacing.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace veltrim {
namespace {

// "VELTRIM\x01" as a number of this machine: a file of another byte order
// is foreign.
constexpr std::uint64_t Magic = 0x014d4952544c4556ULL;
// Raised whenever the layout of the file below changes.
constexpr std::uint64_t FormatVersion = 1;

// The file: eight numbers, two per source file (its size and content hash),
// the table's bytes. The header hash covers the first six numbers and the
// source records, the payload hash the table.
enum Field { FMagic, FVersion, FTag, FName, FCount, FPayload, FHeaderHash, FPayloadHash, Fields };
using Prefix = std::array<std::uint64_t, Fields>;

// No data file comes near this; a larger one is read as text each time.
constexpr std::size_t LargestSource = 64u << 20;

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
ModelCache::ReadSources(const std::string& name,
                        const std::vector<std::filesystem::path>& sources) const {
    Sources read;
    if (!On())
        return read;
    read.Names = NameHash(name, sources);
    read.Records.reserve(2 * sources.size());
    for (const std::filesystem::path& source : sources) {
        const ReadOutcome file = ReadRegularFile(dataFolder_ / source, LargestSource);
        // The text reader will say what is wrong with it.
        if (file.Step != ReadStep::Done || file.Bytes.size() > LargestSource)
            return read;
        read.Records.push_back(file.Bytes.size());
        read.Records.push_back(ContentHash(file.Bytes));
    }
    read.Usable = true;
    return read;
}

bool ModelCache::Fetch(const std::string& name, const Sources& sources, std::uint64_t tag,
                       void* table, std::size_t size) const {
    if (!On() || !sources.Usable)
        return false;
    const std::filesystem::path file = FileOf(name);
    const Descriptor fd(open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.Get() < 0)
        return false; // not made yet (or not readable: it is made again)
    struct stat status {};
    if (fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        TellDamaged(file, "is not a regular file");
        return false;
    }
    Prefix prefix{};
    if (static_cast<std::size_t>(status.st_size) < sizeof prefix ||
        !ReadAt(fd.Get(), prefix.data(), sizeof prefix, 0)) {
        TellDamaged(file, "is truncated");
        return false;
    }
    if (prefix[FMagic] != Magic || prefix[FVersion] != FormatVersion || prefix[FTag] != tag ||
        prefix[FCount] != sources.Records.size() / 2 || prefix[FPayload] != size) {
        TellDamaged(file, "was not made by this build");
        return false;
    }
    std::vector<std::uint64_t> records(sources.Records.size());
    const std::size_t recordBytes = records.size() * sizeof(std::uint64_t);
    if (static_cast<std::size_t>(status.st_size) != sizeof prefix + recordBytes + size ||
        !ReadAt(fd.Get(), records.data(), recordBytes, sizeof prefix) ||
        HeaderHash(prefix, records) != prefix[FHeaderHash]) {
        TellDamaged(file, "is damaged");
        return false;
    }
    // Made from other files (or another table of the same layout): stale,
    // not damaged.
    if (records != sources.Records || prefix[FName] != sources.Names)
        return false;
    if (!ReadAt(fd.Get(), table, size, static_cast<off_t>(sizeof prefix + recordBytes)) ||
        ContentHash(table, size) != prefix[FPayloadHash]) {
        TellDamaged(file, "is damaged");
        return false;
    }
    return true;
}

void ModelCache::Keep(const std::string& name, const Sources& before,
                      const std::vector<std::filesystem::path>& sources, std::uint64_t tag,
                      const void* table, std::size_t size) const {
    if (!On() || !before.Usable)
        return;
    // A file that changed while it was parsed may have given a mixture of
    // its old and new numbers: nothing is kept, the next run parses again.
    if (ReadSources(name, sources).Records != before.Records)
        return;
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    if (ec) {
        TellUnwritable(folder_, ec.value());
        return;
    }
    Prefix prefix{
        Magic, FormatVersion,           tag, before.Names, before.Records.size() / 2, size,
        0,     ContentHash(table, size)};
    prefix[FHeaderHash] = HeaderHash(prefix, before.Records);
    std::string bytes;
    bytes.reserve(sizeof prefix + before.Records.size() * sizeof(std::uint64_t) + size);
    bytes.append(reinterpret_cast<const char*>(prefix.data()), sizeof prefix);
    bytes.append(reinterpret_cast<const char*>(before.Records.data()),
                 before.Records.size() * sizeof(std::uint64_t));
    bytes.append(static_cast<const char*>(table), size);
    const ReplaceOutcome outcome = ReplaceFileContents(FileOf(name), bytes, Durability::Complete);
    if (!outcome.Replaced())
        TellUnwritable(folder_, outcome.Error != 0 ? outcome.Error : EACCES);
}

} // namespace veltrim
