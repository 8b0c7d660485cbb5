// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The version resource that the build stores in the executable, in a section of its own.

#include "platform/system_types.h"

#include <optional>
#include <vector>

namespace platform {

inline constexpr const char* kVersionSectionName = ".filocompte.version";

// The section's bytes, or nothing when the file is no ELF file or has no such section.
std::optional<std::vector<BYTE>> readElfVersionSection(const char* path);

} // namespace platform
