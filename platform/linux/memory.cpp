// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/memory.h"

#include <malloc.h>

namespace platform {

void releaseFreedMemory() {
    malloc_trim(0);
}

} // namespace platform
