#include "core/FileReplacing.h"

#include "core/DataFile.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <linux/magic.h>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace veltrim {
namespace {

ReplaceOutcome Failed(ReplaceStep step, int error, const std::filesystem::path& folder = {}) {
    ReplaceOutcome outcome;
    outcome.Step = step;
    outcome.Error = error;
    outcome.Folder = folder;
    return outcome;
}

ReplaceOutcome InTheWay(MessageId kind) {
    ReplaceOutcome outcome;
    outcome.Step = ReplaceStep::NotRegular;
    outcome.Kind = kind;
    return outcome;
}

std::filesystem::path FolderOf(const std::filesystem::path& name) {
    return name.has_parent_path() ? name.parent_path() : std::filesystem::path(".");
}

// A link that is not followed: one in /proc stands for a descriptor some
// process has open (/dev/stdout leads there), whose file the user did not
// name and whose output would be lost with it; one in a sticky folder that
// anyone may write to is followed only when the runner or the folder's
// owner made it, the kernel's own rule for protected links, so that no
// other user can aim the program at a file of the runner's.
std::optional<MessageId> RefusedLink(const std::filesystem::path& link, const struct stat& info) {
    const std::filesystem::path folder = FolderOf(link);
    struct statfs system {};
    if (::statfs(folder.c_str(), &system) == 0 && system.f_type == PROC_SUPER_MAGIC)
        return MessageId::FileKindDescriptorLink;
    struct stat shared {};
    if (::stat(folder.c_str(), &shared) == 0 && (shared.st_mode & S_ISVTX) != 0 &&
        (shared.st_mode & S_IWOTH) != 0 && info.st_uid != ::geteuid() &&
        info.st_uid != shared.st_uid)
        return MessageId::FileKindForeignLink;
    return std::nullopt;
}

// The file the name stands for: the name itself, or the end of its chain of
// symbolic links. Sets `outcome` when nothing replaceable is there.
std::filesystem::path Resolve(const std::filesystem::path& name, ReplaceOutcome& outcome) {
    std::filesystem::path at = name;
    for (int hops = 0; hops <= 40; ++hops) {
        struct stat info {};
        if (::lstat(at.c_str(), &info) != 0) {
            const int error = errno;
            if (error != ENOENT)
                outcome = Failed(ReplaceStep::Inspect, error, FolderOf(at));
            else if (hops > 0)
                outcome = InTheWay(MessageId::FileKindDanglingLink);
            return at; // a new file under a name not yet taken
        }
        if (S_ISREG(info.st_mode))
            return at;
        if (!S_ISLNK(info.st_mode)) {
            outcome = InTheWay(FileKindOf(info.st_mode));
            return at;
        }
        if (const std::optional<MessageId> refused = RefusedLink(at, info)) {
            outcome = InTheWay(*refused);
            return at;
        }
        std::string link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1, '\0');
        const ssize_t length = ::readlink(at.c_str(), link.data(), link.size());
        if (length < 0) {
            outcome = Failed(ReplaceStep::Inspect, errno, FolderOf(at));
            return at;
        }
        link.resize(static_cast<std::size_t>(length));
        const std::filesystem::path next(link);
        at = next.is_absolute() ? next : FolderOf(at) / next;
    }
    outcome = InTheWay(MessageId::FileKindLinkLoop);
    return at;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) { // no progress: give up rather than spin
            errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The temporaries being written, by name, for a signal handler to remove:
// a slot is Free, being Filled by its writer, or Held while its file may
// exist. Fixed storage, since a handler may neither allocate nor lock.
enum SlotState { Free, Filled, Held };
struct TemporarySlot {
    std::atomic<int> State{Free};
    char Name[4096];
};
TemporarySlot InFlight[16];

// Holds the name in a slot before its file is made; none when every slot is
// taken or the name is too long, and the file is then not removed at a signal.
TemporarySlot* HoldName(const std::filesystem::path& name) {
    const std::string& text = name.native();
    if (text.size() >= sizeof InFlight[0].Name)
        return nullptr;
    for (TemporarySlot& slot : InFlight) {
        int expected = Free;
        if (slot.State.compare_exchange_strong(expected, Filled)) {
            std::memcpy(slot.Name, text.c_str(), text.size() + 1);
            slot.State.store(Held);
            return &slot;
        }
    }
    return nullptr;
}

void ReleaseName(TemporarySlot* slot) {
    if (slot != nullptr)
        slot->State.store(Free);
}

// A new, empty file in the folder under a short name of its own, so that any
// name the folder takes can be replaced; -1 and errno when none can be made.
// Its name is held in `slot` until the caller releases it.
int CreateTemporary(const std::filesystem::path& folder, std::filesystem::path& temporary,
                    TemporarySlot*& slot) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = folder /
                    (".vt" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp");
        // Held before the file exists: a signal between the two finds no file.
        slot = HoldName(temporary);
        const int fd =
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0)
            return fd;
        const int error = errno;
        ReleaseName(slot);
        slot = nullptr;
        if (error != EEXIST) {
            errno = error;
            return -1;
        }
    }
    errno = EEXIST;
    return -1;
}

// Sets the process's answer back to what it was and signals it again, so
// that it ends as the signal would have ended it.
void EndAfterRemoving(int signal) {
    RemoveTemporariesInFlight();
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// A file with other hard links is rewritten in place, since a rename would
// leave them holding the old contents. Its space is reserved first, so that
// a full disk stops the writing before a byte of the file has changed.
ReplaceOutcome WriteInPlace(const std::filesystem::path& target, const struct stat& before,
                            std::string_view bytes, Durability durability) {
    const std::filesystem::path folder = FolderOf(target);
    const int fd = ::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Failed(errno == EPERM ? ReplaceStep::Protected : ReplaceStep::Write, errno, folder);
    struct stat info {};
    int error = 0;
    if (::fstat(fd, &info) != 0)
        error = errno;
    else if (info.st_ino != before.st_ino || info.st_dev != before.st_dev || !S_ISREG(info.st_mode))
        error = EAGAIN; // the name was given to another file meanwhile
    else if (!bytes.empty() && ::fallocate(fd, 0, 0, static_cast<off_t>(bytes.size())) != 0 &&
             errno != EOPNOTSUPP)
        error = errno;
    else if (!WriteAll(fd, bytes) || ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0 ||
             (durability == Durability::Synced && ::fsync(fd) != 0))
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error == 0 ? ReplaceOutcome{} : Failed(ReplaceStep::Write, error, folder);
}

} // namespace

ReplaceOutcome ReplaceFileContents(const std::filesystem::path& name, std::string_view bytes,
                                   Durability durability) {
    ReplaceOutcome outcome;
    const std::filesystem::path target = Resolve(name, outcome);
    if (!outcome.Replaced())
        return outcome;
    const std::filesystem::path folder = FolderOf(target);
    struct stat earlier {};
    const bool replacing = ::lstat(target.c_str(), &earlier) == 0 && S_ISREG(earlier.st_mode);
    if (replacing && earlier.st_nlink > 1)
        return WriteInPlace(target, earlier, bytes, durability);

    std::filesystem::path temporary;
    TemporarySlot* slot = nullptr;
    const int fd = CreateTemporary(folder, temporary, slot);
    if (fd < 0)
        return Failed(ReplaceStep::CreateTemporary, errno, folder);
    // Released however this ends, once the temporary is renamed or removed.
    const std::unique_ptr<TemporarySlot, void (*)(TemporarySlot*)> held(slot, ReleaseName);
    // The file put in place keeps the mode of the one it replaces, never a
    // wider one, and its owner where the runner may give a file away (root);
    // owner first, since a change of owner clears the set-id bits.
    int error = 0;
    if (replacing) {
        if ((earlier.st_uid != ::geteuid() || earlier.st_gid != ::getegid()) &&
            ::fchown(fd, earlier.st_uid, earlier.st_gid) != 0) {
            // Not root: the runner owns it, as any file the runner makes.
        }
        if (::fchmod(fd, earlier.st_mode & 07777) != 0)
            error = errno;
    }
    // A full disk may only show when the data are flushed or the file closed.
    if (error == 0 &&
        (!WriteAll(fd, bytes) || (durability == Durability::Synced && ::fsync(fd) != 0)))
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return Failed(ReplaceStep::Write, error, folder);
    }
    // Something may have taken the name while the file was written.
    struct stat info {};
    if (::lstat(target.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        ::unlink(temporary.c_str());
        return InTheWay(S_ISLNK(info.st_mode) ? MessageId::FileKindOther
                                              : FileKindOf(info.st_mode));
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int renameError = errno;
        ::unlink(temporary.c_str());
        // The folder took the new file, so a refusal of the rename is the old
        // file's own, not the folder's.
        return Failed(renameError == EPERM ? ReplaceStep::Protected : ReplaceStep::Rename,
                      renameError, folder);
    }
    return {};
}

void RemoveTemporariesInFlight() noexcept {
    for (TemporarySlot& slot : InFlight)
        if (slot.State.load() == Held)
            ::unlink(slot.Name);
}

void RemoveTemporariesOnSignals() {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        struct sigaction before {};
        if (::sigaction(signal, nullptr, &before) != 0 || before.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = EndAfterRemoving;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}

bool RemoveRegularFile(const std::filesystem::path& name) noexcept {
    struct stat info {};
    return ::lstat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::unlink(name.c_str()) == 0;
}

void ReplaceFileOrThrow(const std::filesystem::path& name, std::string_view bytes) {
    const ReplaceOutcome outcome = ReplaceFileContents(name, bytes, Durability::Complete);
    if (outcome.Replaced())
        return;
    // By ReplaceStep, from Inspect on.
    static const char* const steps[] = {
        "the name cannot be looked at",
        "the name is held by something other than a regular file",
        "no new file can be made in its folder",
        "writing the new file failed",
        "the new file cannot be put under the name",
        "the file under the name is protected and cannot be replaced",
    };
    std::string text =
        "cannot write " + name.string() + ": " +
        steps[static_cast<int>(outcome.Step) - static_cast<int>(ReplaceStep::Inspect)];
    if (outcome.Error != 0)
        text += std::string(" (") + std::strerror(outcome.Error) + ")";
    throw std::runtime_error(text);
}

} // namespace veltrim
