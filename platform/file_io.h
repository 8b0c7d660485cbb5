// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whole-file reads and writes of the program's small text files. Every failure raises IoError with
// the system's error number, or UnusableFile; no file stays open after a call, error or not.

#include <cstddef>
#include <string>

namespace platform {

// True when something of that name exists, whatever it is (a directory or a FIFO included): the
// program must not take its place silently.
bool fileExists(const std::string& name);

// The bytes of a regular file of at most limit bytes. Anything else (a FIFO, a device, a
// directory, a larger file) raises UnusableFile without waiting on it.
std::string readFile(const std::string& name, std::size_t limit);

// One read of an open descriptor, of at most limit bytes: what a pipe holds, without waiting once
// a notifier told it is readable; empty at its end.
std::string readSome(int descriptor, std::size_t limit);

// Replaces the file's content atomically: the bytes go to a new file beside it, created
// exclusively and without following a link, which is flushed to the disk and then renamed over
// it, so a crash or a full disk leaves the old file or the new one, never a mix or an empty file.
// A symbolic link is kept: its target is replaced. On failure the old file is left as it was.
void replaceFile(const std::string& name, const std::string& bytes);

// Removes the file; false when it could not (it may not exist).
bool removeFile(const std::string& name);

// Renames the file to a name that does not exist yet; never replaces another file.
void renameFile(const std::string& from, const std::string& to);

// The advisory lock on the file (a regular file, created when missing, never through a link),
// held until the process ends: the system releases it even when the process dies.
enum class Lock { Taken, HeldElsewhere, Impossible };
Lock lockForLife(const std::string& name);

} // namespace platform
