// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Libraries loaded at their first use rather than with the program: most sessions never need
// them, and mapped at the start they would stay in every one.

#include <dlfcn.h>

namespace platform {

// Sets function to the library's function of that name; false when it has none.
template <typename Function> bool Resolve(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

} // namespace platform
