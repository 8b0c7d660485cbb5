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

// The library's functions, loaded at the first call and kept; null when the library cannot be
// loaded or lacks one of them. resolve fills functions from the library (see Resolve). One
// library per Functions type: the first call loads it for all.
template <typename Functions>
const Functions* LoadFunctions(const char* soname, bool (*resolve)(void*, Functions&)) {
    static const Functions* loaded = [&]() -> const Functions* {
        static Functions functions{};
        void* library = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
        return library != nullptr && resolve(library, functions) ? &functions : nullptr;
    }();
    return loaded;
}

} // namespace platform
