// Library load and unload: the library registers itself as a framework
// extension module when loaded into a process and terminates that module when
// unloaded.
#include "platform/mfc/Afx.h"

#include <dlfcn.h>

#include <new>

namespace {

AFX_EXTENSION_MODULE g_extensionModule = {FALSE, nullptr, nullptr, nullptr, nullptr};
bool g_loaded = false;

// Any address inside this library identifies it.
HINSTANCE ThisModule() {
    Dl_info info;
    if (dladdr(reinterpret_cast<void*>(&ThisModule), &info) && info.dli_fbase)
        return static_cast<HINSTANCE>(info.dli_fbase);
    return reinterpret_cast<HINSTANCE>(&g_extensionModule);
}

__attribute__((constructor)) void KelSvgProcessAttach() {
    // Without the module record the library would not load; here it simply
    // stays unregistered.
    if (!AfxInitExtensionModule(g_extensionModule, ThisModule()))
        return;
    new (std::nothrow) CDynLinkLibrary(g_extensionModule); // joins the host's chain of modules
    g_loaded = true;
}

__attribute__((destructor)) void KelSvgProcessDetach() {
    if (g_loaded)
        AfxTermExtensionModule(g_extensionModule);
    g_loaded = false;
}

} // namespace
