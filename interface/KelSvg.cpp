#include "interface/KelSvg.h"

#include "engine/SvgEngine.h"
#include "interface/SvgCommand.h"
#include "platform/gdiplus/GdiPlus.h"

#include <atomic>

namespace {

// Token of the latest start-up; GDI+ is never shut down by the library.
// Engines on several threads may start up at once.
std::atomic<ULONG_PTR> g_gdiplusToken{0};

void SendRect(SvgEngine* engine, int code, int x, int y, int width, int height) {
    SvgCommand command(code);
    command.AllocateRect();
    command.intArray[0] = x;
    command.intArray[1] = y;
    command.intArray[2] = width;
    command.intArray[3] = height;
    engine->Dispatch(command);
}

} // namespace

CKelSvg::CKelSvg() : m_engine(new SvgEngine()) {
    Gdiplus::GdiplusStartupInput input;
    input.GdiplusVersion = 1;
    input.DebugEventCallback = nullptr;
    input.SuppressBackgroundThread = FALSE;
    input.SuppressExternalCodecs = FALSE;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    g_gdiplusToken.store(token, std::memory_order_relaxed);
}

CKelSvg::~CKelSvg() {
    delete m_engine;
    m_engine = nullptr;
}

void CKelSvg::CommandSetSVGWinRect(int x, int y, int width, int height) {
    SendRect(m_engine, SvgCommandSetWinRect, x, y, width, height);
}

void CKelSvg::CommandParseSVGFile(char* fileName) {
    SvgCommand command(SvgCommandParseFile);
    command.fileName = fileName;
    m_engine->Dispatch(command);
}

void CKelSvg::CommandSetSVGFileName(char* fileName) {
    SvgCommand command(SvgCommandSetFileName);
    command.fileName = fileName;
    m_engine->Dispatch(command);
}

void CKelSvg::CommandGetSVGWinRect(int& x, int& y, int& width, int& height) {
    SvgCommand command(SvgCommandGetWinRect);
    command.AllocateRect();
    command.query = 1;
    m_engine->Dispatch(command);
    x = command.intArray[0];
    y = command.intArray[1];
    width = command.intArray[2];
    height = command.intArray[3];
}

void CKelSvg::CommandCreateBitmapCache() {
    SvgCommand command(SvgCommandCreateBitmapCache);
    m_engine->Dispatch(command);
}

void CKelSvg::CommandDrawSVG(CDC* dc) {
    SvgCommand command(SvgCommandDraw);
    command.dc = dc;
    m_engine->Dispatch(command);
}

void CKelSvg::CommandDrawSVGWinRect(CDC* dc, int x, int y, int width, int height) {
    SvgCommand command(SvgCommandDrawWinRect);
    command.AllocateRect();
    command.intArray[0] = x;
    command.intArray[1] = y;
    command.intArray[2] = width;
    command.intArray[3] = height;
    command.dc = dc;
    m_engine->Dispatch(command);
}

void CKelSvg::CommandDrawSVGGraphics(Gdiplus::Graphics* graphics) {
    SvgCommand command(SvgCommandDrawGraphics);
    command.graphics = graphics;
    m_engine->Dispatch(command);
}

KelSvgParseResult CKelSvg::KelGetParseResult(float& width, float& height) const {
    width = m_engine->GetDocumentWidth();
    height = m_engine->GetDocumentHeight();
    return static_cast<KelSvgParseResult>(m_engine->GetParseResult());
}

void CKelSvg::KelSetThreads(int threads) {
    m_engine->SetThreads(threads);
}

void CKelSvg::KelSetRotationCallback(KelRotationCallback callback, void* context) {
    m_engine->SetRotationCallback(callback, context);
}

void CKelSvg::KelSetBaseDir(const char* dir) {
    m_engine->SetBaseDir(dir);
}

void CKelSvg::KelSetUserStyleSheet(const char* css) {
    m_engine->SetUserStyleSheet(css);
}

bool CKelSvg::KelDrawOnlyElement(const char* id) {
    return m_engine->DrawOnly(id);
}

void CKelSvg::KelSetDpi(double dpi) {
    m_engine->SetUnitsPerInch(dpi);
}
