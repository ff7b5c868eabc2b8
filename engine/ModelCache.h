#pragma once

// The binary form of a data folder's parsed tables, kept in the user's cache
// folder ($XDG_CACHE_HOME/veltrim, else ~/.cache/veltrim), one subfolder per
// data folder and one file per table set. The text files stay the source of
// truth: a binary form is used only when it was made from files with the
// very bytes the folder holds now (a 64-bit hash of each file's contents,
// which sees a change that keeps the size and the time stamps), and only
// when its own checksum holds. Reading and hashing the text costs a good
// part of parsing it, so a file whose size, modification and change times,
// inode and device are those recorded is taken as unchanged without being
// read, provided its change time lay clearly (two seconds) before the
// binary form was made: no program can set the change time back (cp -p and
// touch set the modification time only), and a file rewritten within one
// tick of its file system's clock is read and hashed instead. Anything else
// (a stale, damaged, truncated or foreign file) is made again from the
// text, so a cache can never change a number. It is replaced as a whole
// under its name (a new file renamed over it), so two processes making it
// at once each leave a complete one. A cache that cannot be written is said
// once on standard error and the text files are read as without one.
// VELTRIM_CACHE=off turns it off.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <vector>

namespace veltrim {

class ModelCache {
  public:
    // The cache of a data folder, as the environment places it; off when
    // VELTRIM_CACHE is "off" or there is neither XDG_CACHE_HOME nor HOME.
    static ModelCache For(const std::filesystem::path& dataFolder);
    // The cache of a data folder kept under `root` (tests, benchmarks);
    // off for an empty root.
    ModelCache(const std::filesystem::path& root, const std::filesystem::path& dataFolder);

    bool On() const { return !folder_.empty(); }
    // Where the folder's binary forms go (empty when off).
    const std::filesystem::path& Folder() const { return folder_; }

    // The table `name` made by parse() (a std::unique_ptr<Table>) from
    // `sources` (paths relative to the data folder), or its binary form when
    // that was made from the same bytes. What parse() throws is passed on and
    // nothing is kept.
    template <class Table, class Parse>
    std::unique_ptr<Table> Take(const std::string& name,
                                const std::vector<std::filesystem::path>& sources,
                                Parse parse) const {
        static_assert(std::is_trivially_copyable_v<Table>);
        Sources found = StatSources(name, sources);
        if (found.Usable) {
            auto table = std::make_unique<Table>();
            switch (Fetch(name, found, sources, TypeTag<Table>(), table.get(), sizeof(Table))) {
            case Fetched::Current:
                return table;
            case Fetched::Moved:
                // The same bytes under new time stamps: kept with the new
                // ones, so the next run need not read the files.
                Keep(name, found, sources, TypeTag<Table>(), table.get(), sizeof(Table));
                return table;
            case Fetched::None:
                break;
            }
        }
        std::unique_ptr<Table> table = parse();
        Keep(name, found, sources, TypeTag<Table>(), table.get(), sizeof(Table));
        return table;
    }

    // The file a table's binary form goes to (for tests).
    std::filesystem::path FileOf(const std::string& name) const;

  private:
    // What each source file is: its size, time stamps, inode and device
    // (from stat), and the hash of its bytes once they have been read.
    enum Record { RSize, RModified, RChanged, RInode, RDevice, RHash, RecordFields };
    struct Sources {
        bool Usable = false;                // every file is a regular file of bounded size
        bool Hashed = false;                // the RHash fields are filled
        std::uint64_t Names = 0;            // the table's name and its files' names
        std::vector<std::uint64_t> Records; // RecordFields per file
    };
    enum class Fetched { None, Current, Moved };

    // The table's layout: its size and the build's idea of its type, so that
    // a file from another build whose table differs is foreign.
    template <class Table> static std::uint64_t TypeTag() {
        return LayoutTag(sizeof(Table), alignof(Table), typeid(Table).name());
    }
    static std::uint64_t LayoutTag(std::size_t size, std::size_t align, const char* typeName);

    Sources StatSources(const std::string& name,
                        const std::vector<std::filesystem::path>& sources) const;
    void HashSources(Sources& found, const std::vector<std::filesystem::path>& sources) const;
    Fetched Fetch(const std::string& name, Sources& found,
                  const std::vector<std::filesystem::path>& sources, std::uint64_t tag, void* table,
                  std::size_t size) const;
    void Keep(const std::string& name, Sources& found,
              const std::vector<std::filesystem::path>& sources, std::uint64_t tag,
              const void* table, std::size_t size) const;

    std::filesystem::path dataFolder_;
    std::filesystem::path folder_;
};

} // namespace veltrim
