// The framework stand-ins: CObject's defaults, CDC over an HDC, and the chain
// of extension modules.

#include "platform/mfc/Afx.h"

#include <algorithm>
#include <vector>

namespace {

CDynLinkLibrary* chainHead = nullptr;

// The registered modules. Used by the library's load and unload hooks, which
// may run before this file's dynamic initialisers and after its destructors,
// so it is a plain pointer (set before any code runs), made on first use and
// freed when the last module leaves (the library may be unloaded and reloaded).
std::vector<AFX_EXTENSION_MODULE*>* registeredModules = nullptr;

} // namespace

CObject::~CObject() = default;
CRuntimeClass* CObject::GetRuntimeClass() const {
    return nullptr;
}
void CObject::Serialize(CArchive&) {}
void CObject::AssertValid() const {}
void CObject::Dump(CDumpContext&) const {}

BOOL CDC::Attach(HDC hdc) {
    if (!hdc || m_hDC)
        return FALSE;
    m_hDC = m_hAttribDC = hdc;
    return TRUE;
}

HDC CDC::Detach() {
    HDC hdc = m_hDC;
    m_hDC = m_hAttribDC = nullptr;
    return hdc;
}

int CDC::SaveDC() {
    return ::SaveDC(m_hDC);
}

BOOL CDC::RestoreDC(int nSavedDC) {
    return ::RestoreDC(m_hDC, nSavedDC);
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem)
    : m_hModule(state.hModule), m_hResource(state.hResource),
      m_pFirstSharedClass(state.pFirstSharedClass), m_bSystem(bSystem), m_pNextDLL(nullptr) {
    Link();
}

CDynLinkLibrary::CDynLinkLibrary(HINSTANCE hModule, HINSTANCE hResource)
    : m_hModule(hModule), m_hResource(hResource), m_pFirstSharedClass(nullptr), m_bSystem(FALSE),
      m_pNextDLL(nullptr) {
    Link();
}

void CDynLinkLibrary::Link() {
    m_pNextDLL = chainHead;
    chainHead = this;
}

CDynLinkLibrary::~CDynLinkLibrary() {
    for (CDynLinkLibrary** p = &chainHead; *p; p = &(*p)->m_pNextDLL) {
        if (*p == this) {
            *p = m_pNextDLL;
            break;
        }
    }
}

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule) {
    if (!hModule)
        return FALSE;
    if (state.bInitialized)
        return TRUE;
    state.bInitialized = TRUE;
    state.hModule = hModule;
    state.hResource = hModule;
    state.pFirstSharedClass = nullptr;
    state.pFirstSharedFactory = nullptr;
    if (!registeredModules)
        registeredModules = new std::vector<AFX_EXTENSION_MODULE*>();
    registeredModules->push_back(&state);
    return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll) {
    if (!state.bInitialized)
        return;
    // Delete this module's entries (or every entry) from the chain.
    for (CDynLinkLibrary* p = chainHead; p;) {
        CDynLinkLibrary* next = p->m_pNextDLL;
        if (bAll || p->m_hModule == state.hModule)
            delete p;
        p = next;
    }
    if (registeredModules) {
        std::vector<AFX_EXTENSION_MODULE*>& modules = *registeredModules;
        modules.erase(std::remove(modules.begin(), modules.end(), &state), modules.end());
        if (modules.empty()) {
            delete registeredModules;
            registeredModules = nullptr;
        }
    }
    state.bInitialized = FALSE;
    state.hModule = nullptr;
    state.hResource = nullptr;
}

CDynLinkLibrary* AfxGetFirstDynLinkLibrary() {
    return chainHead;
}
