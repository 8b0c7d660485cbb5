#pragma once
// Whole-file reads and writes of the program's small text files. Every failure raises IoError with
// the system's error number; no file stays open after a call, error or not.

#include <string>

namespace platform {

bool fileExists(const std::string& name);

// The file's bytes.
std::string readFile(const std::string& name);

// Replaces the file's content atomically: the bytes go to a new file beside it, which is flushed to
// the disk and then renamed over it, so a crash or a full disk leaves the old file or the new one,
// never a mix or an empty file. On failure the old file is left as it was.
void replaceFile(const std::string& name, const std::string& bytes);

// Removes the file; false when it could not (it may not exist).
bool removeFile(const std::string& name);

// Renames the file, replacing any file of the new name.
void renameFile(const std::string& from, const std::string& to);

// Takes an advisory lock on the file (created when missing), held until the process ends: the
// system releases it even when the process dies. False only while another process holds it.
bool lockForLife(const std::string& name);

} // namespace platform
