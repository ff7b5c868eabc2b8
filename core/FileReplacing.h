#pragma once

#include "core/Messages.h"

#include <filesystem>
#include <string_view>

namespace veltrim {

// How far a replacement got before it failed.
enum class ReplaceStep {
    Done,
    Inspect,         // the name could not be looked at (errno in Error)
    NotRegular,      // the name is something other than a regular file (Kind says what)
    CreateTemporary, // no new file could be made in the folder
    Write,           // writing or flushing the new file failed
    Rename,          // the new file could not be put under the name
    Protected,       // the file under the name refuses to be replaced (immutable,
                     // append-only, or another user's in a sticky folder)
};

struct ReplaceOutcome {
    ReplaceStep Step = ReplaceStep::Done;
    int Error = 0;                             // errno of the failed call
    MessageId Kind = MessageId::FileKindOther; // what is in the way, for NotRegular
    std::filesystem::path Folder;              // where the new file was to be made
    bool Replaced() const { return Step == ReplaceStep::Done; }
};

// Whether the bytes must be on the disk before the rename (a user's saved
// file) or only complete under the name (the working file, rewritten at
// every calculation).
enum class Durability { Complete, Synced };

// Puts bytes under a name in one step: they go to a new file with a short
// name of its own in the same folder and are renamed over the name only once
// complete, so a failure leaves any earlier file as it was and the temporary
// is removed. The new file keeps the mode (and, for root, the owner) of the
// one it replaces; a file with other hard links is rewritten in place
// instead, so that they all keep seeing one file. Only a regular file is
// ever replaced: a symbolic link to one is followed (its target is replaced,
// in the target's folder); a folder, a named pipe, a device, a socket, a
// link to nothing, a link in /proc to an open descriptor and a link another
// user left in a sticky shared folder are left alone and reported as
// NotRegular.
ReplaceOutcome ReplaceFileContents(const std::filesystem::path& name, std::string_view bytes,
                                   Durability durability);

// ReplaceFileContents for the data tools: throws std::runtime_error naming the
// file, the step that failed and the system's reason.
void ReplaceFileOrThrow(const std::filesystem::path& name, std::string_view bytes);

// Removes the temporaries the replacements of this process are writing at
// this moment. Async-signal-safe: for a handler of a signal that ends the
// process, which would otherwise leave them behind.
void RemoveTemporariesInFlight() noexcept;

// Makes SIGINT, SIGTERM, SIGHUP and SIGQUIT (those not ignored at the start)
// remove the temporaries in flight before they end the process as they
// would have: for a program whose run writes files and ends at a signal.
void RemoveTemporariesOnSignals();

// Deletes the file under `name` only when it is a regular file: never a
// folder, a pipe or a link that happens to carry the name. Whether it was
// deleted; failures are silent.
bool RemoveRegularFile(const std::filesystem::path& name) noexcept;

} // namespace veltrim
