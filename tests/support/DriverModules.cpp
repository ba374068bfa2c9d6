// Mesa's OpenGL driver keeps a few allocations until exit, pointed to from its
// own data; when the module is unloaded with the GL context, the leak check at
// exit no longer sees those pointers and reports the blocks. Keeping the driver
// modules mapped avoids that without hiding leaks of our own code.
#include "support/DriverModules.h"

#include <dlfcn.h>
#include <link.h>
#include <cstring>

namespace testing_support {

void pinOpenGLDriverModules() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            const char* name = info->dlpi_name;
            if (name && (std::strstr(name, "_dri.so") || std::strstr(name, "libLLVM") ||
                         std::strstr(name, "libGLX_mesa.so"))) {
                // Takes a reference that is never released; RTLD_NODELETE keeps the
                // module mapped after the GL context closes it.
                dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            }
            return 0;
        },
        nullptr);
}

}  // namespace testing_support
