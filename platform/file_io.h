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

} // namespace platform
