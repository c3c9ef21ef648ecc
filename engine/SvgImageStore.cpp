#include "engine/SvgImageStore.h"

#include "engine/GdiImage.h"
#include "syntax/SvgCharClass.h"
#include "syntax/SvgDataUrl.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace Gdiplus;

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// The scheme of a URL ("file", "http"...), lower case; empty for a path.
std::string SchemeOf(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) ||
                               text[i] == '+' || text[i] == '-' || text[i] == '.'))
        ++i;
    if (i == 0 || i >= text.size() || text[i] != ':' ||
        !std::isalpha(static_cast<unsigned char>(text[0])))
        return std::string();
    std::string scheme = text.substr(0, i);
    for (char& c : scheme)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return scheme;
}

// %XX escapes decoded; false for an escape of the zero byte.
bool DecodePercent(const std::string& text, std::string& out) {
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        int high = text[i] == '%' && i + 2 < text.size() ? hexDigitValue(text[i + 1]) : -1;
        int low = high >= 0 ? hexDigitValue(text[i + 2]) : -1;
        if (low >= 0) {
            char c = static_cast<char>(high * 16 + low);
            if (c == '\0')
                return false;
            out += c;
            i += 2;
        } else {
            out += text[i];
        }
    }
    return true;
}

std::string Resolved(const std::string& path) {
    char* real = realpath(path.c_str(), nullptr);
    if (!real)
        return std::string();
    std::string result(real);
    std::free(real);
    return result;
}

// The whole of a regular file of at most limit bytes. The file is opened
// without waiting (a FIFO or device never blocks the read) and without
// following a link put in place of the resolved path.
bool ReadRegularFile(const std::string& path, int64_t limit, std::vector<unsigned char>& out) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0)
        return false;
    struct stat info;
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= limit;
    if (ok) {
        try {
            out.resize(size_t(info.st_size));
        } catch (const std::bad_alloc&) {
            ok = false;
        }
    }
    size_t done = 0;
    while (ok && done < out.size()) {
        ssize_t n = ::read(fd, out.data() + done, out.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            ok = false; // the file shrank or cannot be read
        else
            done += size_t(n);
    }
    ::close(fd);
    return ok;
}

} // namespace

void SvgImageStore::Reset(const char* svgPath) {
    m_files.clear();
    m_pixelsLeft = kPixelBudget;
    m_folder.clear();
    m_folderPath.clear();
    m_resolved = true;
    if (!svgPath || !*svgPath)
        return;
    std::string path(svgPath);
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "."
                         : slash == 0               ? "/"
                                                    : path.substr(0, slash);
    // A relative folder is taken from where the process is now, as the
    // document was read from there.
    if (folder[0] != '/') {
        char here[PATH_MAX];
        if (!::getcwd(here, sizeof here))
            return; // no folder to be sure of: no files
        folder = std::string(here) + "/" + folder;
    }
    m_folderPath = folder;
    m_resolved = false;
}

const std::string& SvgImageStore::Folder() const {
    if (!m_resolved) {
        m_folder = Resolved(m_folderPath);
        m_resolved = true;
    }
    return m_folder;
}

bool SvgImageStore::ResolveFile(const char* href, std::string& path) const {
    path.clear();
    if (!href || Folder().empty())
        return false;
    // White space around a URL is not part of it.
    const char* first = href;
    const char* last = href + std::char_traits<char>::length(href);
    while (first < last && IsSpace(*first))
        ++first;
    while (last > first && IsSpace(last[-1]))
        --last;
    std::string text(first, last);
    std::string scheme = SchemeOf(text);
    if (!scheme.empty()) {
        if (scheme != "file")
            return false; // no network, no other scheme
        text.erase(0, 5);
        if (text.compare(0, 2, "//") == 0) {
            size_t end = text.find('/', 2);
            std::string host = text.substr(2, end == std::string::npos ? end : end - 2);
            if (!host.empty() && host != "localhost")
                return false;
            text.erase(0, end == std::string::npos ? text.size() : end);
        }
    }
    // A query or a fragment names no file of its own.
    if (text.empty() || text.find_first_of("?#") != std::string::npos)
        return false;
    std::string decoded;
    if (!DecodePercent(text, decoded) || decoded.empty())
        return false;
    std::string resolved = Resolved(decoded[0] == '/' ? decoded : m_folder + "/" + decoded);
    if (resolved.empty())
        return false;
    bool inside = m_folder == "/" ? resolved.size() > 1
                                  : resolved.size() > m_folder.size() + 1 &&
                                        resolved.compare(0, m_folder.size(), m_folder) == 0 &&
                                        resolved[m_folder.size()] == '/';
    if (!inside)
        return false;
    path = resolved;
    return true;
}

std::shared_ptr<GdiImage> SvgImageStore::Load(const char* href) {
    if (!href)
        return nullptr;
    if (SvgDataUrl::IsDataUrl(href)) {
        std::vector<unsigned char> bytes;
        if (!SvgDataUrl::Decode(href, bytes))
            return nullptr;
        return Decode(bytes.data(), bytes.size());
    }
    std::string path;
    if (!ResolveFile(href, path))
        return nullptr;
    auto found = m_files.find(path);
    if (found != m_files.end())
        return found->second;
    std::shared_ptr<GdiImage> image;
    std::vector<unsigned char> bytes;
    if (ReadRegularFile(path, kMaxFileBytes, bytes))
        image = Decode(bytes.data(), bytes.size());
    m_files.emplace(path, image);
    return image;
}

std::shared_ptr<GdiImage> SvgImageStore::Decode(const unsigned char* data, size_t size) {
    UINT width = 0, height = 0;
    if (KelGetImageSizeFromMemory(data, size, &width, &height) != Ok)
        return nullptr;
    // The budget pays for what is attempted, so that damaged images cannot
    // make a document decode without end.
    uint64_t pixels = uint64_t(width) * height;
    if (pixels == 0 || pixels > kMaxImagePixels || pixels > m_pixelsLeft)
        return nullptr;
    m_pixelsLeft -= pixels;
    GpBitmap* bitmap = nullptr;
    if (KelCreateBitmapFromMemory(data, size, pixels, &bitmap) != Ok)
        return nullptr;
    GdiImage* image = new GdiImage(bitmap);
    if (!image) {
        GdipDisposeImage(bitmap);
        return nullptr;
    }
    return std::shared_ptr<GdiImage>(image);
}
