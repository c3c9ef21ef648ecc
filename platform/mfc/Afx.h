#pragma once

// The framework classes the library and its hosts use: CObject, CDC and the
// extension-module records. Just what the library needs, with the framework's
// names and signatures.

#include "interface/KelSvgExport.h"
#include "platform/win32/Win32.h"

class CArchive;
class CDumpContext;
struct CRuntimeClass;

// Root of the framework's classes. The inherited operations do nothing.
class KELSVG_API CObject {
public:
    virtual ~CObject();
    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual void Serialize(CArchive& ar);
    virtual void AssertValid() const;
    virtual void Dump(CDumpContext& dc) const;

    BOOL IsSerializable() const { return FALSE; }

protected:
    CObject() = default;

private:
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

// A device context: wraps an HDC it does not own (see CreateBitmapDC).
class KELSVG_API CDC : public CObject {
public:
    CDC() : m_hDC(nullptr), m_hAttribDC(nullptr) {}
    explicit CDC(HDC hdc) : m_hDC(hdc), m_hAttribDC(hdc) {}
    ~CDC() override = default;

    HDC GetSafeHdc() const { return m_hDC; }
    BOOL Attach(HDC hdc);
    HDC Detach();

    // Saves the context's state; returns the save's depth, 0 on failure.
    virtual int SaveDC();
    // Restores the state saved by the call that returned nSavedDC (-1: the latest).
    virtual BOOL RestoreDC(int nSavedDC);

    HDC m_hDC;       // output context
    HDC m_hAttribDC; // attribute context (the same here)
};

// State of one extension module (a shared library that plugs into the host).
struct AFX_EXTENSION_MODULE {
    BOOL bInitialized;
    HMODULE hModule;
    HMODULE hResource;
    CRuntimeClass* pFirstSharedClass;
    void* pFirstSharedFactory;
};

// A module's entry in the host's chain of framework modules. Construction
// inserts it at the head of the chain, destruction removes it.
class KELSVG_API CDynLinkLibrary : public CObject {
public:
    explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem = FALSE);
    CDynLinkLibrary(HINSTANCE hModule, HINSTANCE hResource);
    ~CDynLinkLibrary() override;

    HMODULE m_hModule;
    HMODULE m_hResource;
    CRuntimeClass* m_pFirstSharedClass;
    BOOL m_bSystem;
    CDynLinkLibrary* m_pNextDLL; // next entry of the chain

private:
    void Link();
};

// Initialises the module's record for the library hModule. Returns FALSE when
// hModule is null; a second call for an initialised record succeeds.
KELSVG_API BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule);
// Terminates the module: deletes its entries from the chain (all entries when
// bAll) and clears its record.
KELSVG_API void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll = FALSE);
// Head of the chain of modules (null when empty).
KELSVG_API CDynLinkLibrary* AfxGetFirstDynLinkLibrary();
