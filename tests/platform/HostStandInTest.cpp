// Host stand-ins: conversions to UTF-16, the framework classes and the
// extension-module chain.

#include <gtest/gtest.h>

#include <string>

#include "platform/gdiplus/GdiPlus.h"
#include "platform/mfc/Afx.h"
#include "platform/win32/Win32.h"

namespace {

std::u16string Convert(UINT codePage, const std::string& bytes, DWORD flags = 0) {
    int n = MultiByteToWideChar(codePage, flags, bytes.data(), int(bytes.size()), nullptr, 0);
    std::u16string out(size_t(n > 0 ? n : 0), u'\0');
    if (n > 0) {
        EXPECT_EQ(
            n, MultiByteToWideChar(codePage, flags, bytes.data(), int(bytes.size()), &out[0], n));
    }
    return out;
}

TEST(MultiByteToWideChar, Utf8) {
    EXPECT_EQ(u"caf\u00e9", Convert(CP_UTF8, "caf\xC3\xA9"));
    EXPECT_EQ(u"\u65b0\u5b8b\u4f53", Convert(CP_UTF8, "\xE6\x96\xB0\xE5\xAE\x8B\xE4\xBD\x93"));
    EXPECT_EQ(u"\U0001F600", Convert(CP_UTF8, "\xF0\x9F\x98\x80")); // a surrogate pair
}

TEST(MultiByteToWideChar, InvalidUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(u"a\ufffdb", Convert(CP_UTF8, "a\xFF"
                                            "b"));
    EXPECT_EQ(u"\ufffd\ufffd", Convert(CP_UTF8, "\xC0\xAF"));           // overlong
    EXPECT_EQ(u"\ufffdz", Convert(CP_UTF8, "\xE6\x96z"));               // truncated sequence
    EXPECT_EQ(u"\ufffd\ufffd\ufffd", Convert(CP_UTF8, "\xED\xA0\x80")); // surrogate
    EXPECT_EQ(u"x\ufffd", Convert(CP_UTF8, "x\xF0\x9F\x98"));           // cut at the end
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xFF", 1, nullptr, 0));
    EXPECT_EQ(DWORD(ERROR_NO_UNICODE_TRANSLATION), GetLastError());
}

TEST(MultiByteToWideChar, AnsiCodePageIsWindows1252) {
    EXPECT_EQ(u"\u20ac\u2122\u00e9\u0081", Convert(CP_ACP, "\x80\x99\xE9\x81"));
    // The GBK bytes of the default family name stay six Latin-1 letters.
    EXPECT_EQ(u"\u00d0\u00c2\u00cb\u00ce\u00cc\u00e5", Convert(CP_ACP, "\xD0\xC2\xCB\xCE\xCC\xE5"));
}

TEST(MultiByteToWideChar, MeasuringAndShortBuffers) {
    // Length -1 converts the terminator too.
    EXPECT_EQ(4, MultiByteToWideChar(CP_UTF8, 0, "ab\xC3\xA9", -1, nullptr, 0));
    WCHAR buffer[8];
    for (WCHAR& w : buffer)
        w = u'#';
    EXPECT_EQ(4, MultiByteToWideChar(CP_UTF8, 0, "ab\xC3\xA9", -1, buffer, 8));
    EXPECT_EQ(u'\u00e9', buffer[2]);
    EXPECT_EQ(u'\0', buffer[3]);

    for (WCHAR& w : buffer)
        w = u'#';
    EXPECT_EQ(0, MultiByteToWideChar(CP_ACP, 0, "abcdef", -1, buffer, 3));
    EXPECT_EQ(DWORD(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(u'#', buffer[3]); // nothing past the buffer

    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 0, nullptr, -1, buffer, 8));
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 0, "a", 0, buffer, 8));
    EXPECT_EQ(0, MultiByteToWideChar(936, 0, "a", 1, buffer, 8));
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 1, "a", 1, buffer, 8));
    EXPECT_EQ(DWORD(ERROR_INVALID_FLAGS), GetLastError());
}

TEST(FrameworkStandIns, ExtensionModuleChain) {
    AFX_EXTENSION_MODULE module = {};
    EXPECT_FALSE(AfxInitExtensionModule(module, nullptr));
    HMODULE self = reinterpret_cast<HMODULE>(&module);
    ASSERT_TRUE(AfxInitExtensionModule(module, self));
    EXPECT_TRUE(module.bInitialized);
    CDynLinkLibrary* before = AfxGetFirstDynLinkLibrary();
    auto* record = new CDynLinkLibrary(module);
    EXPECT_EQ(record, AfxGetFirstDynLinkLibrary());
    EXPECT_EQ(before, record->m_pNextDLL);
    EXPECT_EQ(self, record->m_hModule);
    AfxTermExtensionModule(module); // deletes the record
    EXPECT_EQ(before, AfxGetFirstDynLinkLibrary());
    EXPECT_FALSE(module.bInitialized);
    AfxTermExtensionModule(module); // a second termination does nothing
}

TEST(Startup, VersionOneOnly) {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    EXPECT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&token, &input, nullptr));
    EXPECT_NE(0u, token);
    input.GdiplusVersion = 2;
    EXPECT_EQ(Gdiplus::UnsupportedGdiplusVersion, Gdiplus::GdiplusStartup(&token, &input, nullptr));
    void* p = Gdiplus::GdipAlloc(16);
    EXPECT_NE(nullptr, p);
    Gdiplus::GdipFree(p);
}

} // namespace
