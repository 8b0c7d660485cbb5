#include "platform/linux/elf_version.h"

namespace platform {

std::optional<std::vector<BYTE>> readElfVersionSection(const char*) { return std::nullopt; }

} // namespace platform
