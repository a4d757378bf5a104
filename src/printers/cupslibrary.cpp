// Opening libcups at run time and finding the functions the print service calls.
#include "printers/cupslibrary.h"

#include <dlfcn.h>

namespace quarzello {

const CupsLibrary& cups() {
    static const CupsLibrary library = [] {
        CupsLibrary opened;
        void* handle = ::dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
        if (!handle) return opened;
#define QUARZELLO_CUPS_RESOLVE(name)                                           \
    opened.name = reinterpret_cast<decltype(&::name)>(::dlsym(handle, #name)); \
    if (!opened.name) return CupsLibrary{};
        QUARZELLO_CUPS_FUNCTIONS(QUARZELLO_CUPS_RESOLVE)
#undef QUARZELLO_CUPS_RESOLVE
        opened.loaded = true;
        return opened;
    }();
    return library;
}

}  // namespace quarzello
