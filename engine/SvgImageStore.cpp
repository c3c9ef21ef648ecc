#include "engine/SvgImageStore.h"

#include "engine/GdiImage.h"
#include "engine/SvgEngine.h"
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

// Whether data starts like an XML document (after a byte order mark and
// white space), or is compressed as an .svgz file is.
bool LooksLikeSvg(const unsigned char* data, size_t size) {
    size_t i = 0;
    if (size >= 2 && data[0] == 0x1F && data[1] == 0x8B)
        return true;
    if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF)
        i = 3;
    while (i < size && IsSpace(char(data[i])))
        ++i;
    return i < size && data[i] == '<';
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

SvgImageStore::~SvgImageStore() {
    if (m_ownsShared)
        m_shared->files.clear();
}

void SvgImageStore::Reset(const char* svgPath) {
    if (m_ownsShared)
        m_shared->files.clear();
    m_ownsShared = true;
    m_shared = std::make_shared<Shared>();
    m_shared->reading.emplace_back();
    m_folder.clear();
    m_folderPath.clear();
    m_base.clear();
    m_resolved = true;
    if (!svgPath || !*svgPath)
        return;
    std::string path(svgPath);
    // The document itself, should a picture of it show it again.
    m_shared->reading[0] = path;
    m_shared->topResolved = false;
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

void SvgImageStore::Nest(const SvgImageStore& parent, const std::string& path) {
    if (m_ownsShared)
        m_shared->files.clear();
    m_ownsShared = false;
    m_shared = parent.m_shared;
    m_folderPath = parent.m_folderPath;
    m_folder = parent.Folder();
    m_resolved = true;
    m_base = parent.m_base;
    size_t slash = path.rfind('/');
    if (slash != std::string::npos)
        m_base = slash == 0 ? "/" : path.substr(0, slash);
}

bool SvgImageStore::TakeDraw(long cost) {
    if (cost < 0 || m_shared->drawsLeft < cost)
        return false;
    m_shared->drawsLeft -= cost;
    return true;
}

bool SvgImageStore::IsReading(const std::string& path) const {
    Shared& shared = *m_shared;
    if (!shared.topResolved) {
        shared.topResolved = true;
        if (!shared.reading.empty() && !shared.reading[0].empty()) {
            std::string top = shared.reading[0];
            if (top[0] != '/' && !m_folderPath.empty())
                top = m_folderPath + "/" + top.substr(top.rfind('/') + 1);
            shared.reading[0] = Resolved(top);
        }
    }
    for (const std::string& reading : shared.reading)
        if (reading == path)
            return true;
    return false;
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
    const std::string& base = m_base.empty() ? m_folder : m_base;
    std::string resolved = Resolved(decoded[0] == '/' ? decoded : base + "/" + decoded);
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

SvgPicture SvgImageStore::LoadPicture(const char* href) {
    if (!href)
        return SvgPicture();
    if (SvgDataUrl::IsDataUrl(href)) {
        std::vector<unsigned char> bytes;
        if (!SvgDataUrl::Decode(href, bytes))
            return SvgPicture();
        return Decode(bytes.data(), bytes.size(), std::string());
    }
    std::string path;
    if (!ResolveFile(href, path))
        return SvgPicture();
    auto found = m_shared->files.find(path);
    if (found != m_shared->files.end())
        return found->second;
    // A document being read shows nothing of itself (nor is that kept).
    if (IsReading(path))
        return SvgPicture();
    SvgPicture picture;
    std::vector<unsigned char> bytes;
    if (ReadRegularFile(path, kMaxFileBytes, bytes))
        picture = Decode(bytes.data(), bytes.size(), path);
    m_shared->files.emplace(path, picture);
    return picture;
}

SvgPicture SvgImageStore::Decode(const unsigned char* data, size_t size, const std::string& path) {
    SvgPicture picture;
    UINT width = 0, height = 0;
    if (KelGetImageSizeFromMemory(data, size, &width, &height) != Ok) {
        if (LooksLikeSvg(data, size) && m_shared->reading.size() < kMaxDocumentDepth) {
            m_shared->reading.push_back(path);
            auto document = std::make_shared<SvgEngine>();
            document->ParseNested(std::string(reinterpret_cast<const char*>(data), size), *this,
                                  path);
            m_shared->reading.pop_back();
            if (document->GetRoot())
                picture.document = std::move(document);
        }
        return picture;
    }
    // The budget pays for what is attempted, so that damaged images cannot
    // make a document decode without end.
    uint64_t pixels = uint64_t(width) * height;
    uint64_t& pixelsLeft = m_shared->pixelsLeft;
    if (pixels == 0 || pixels > kMaxImagePixels || pixels > pixelsLeft)
        return picture;
    pixelsLeft -= pixels;
    GpBitmap* bitmap = nullptr;
    if (KelCreateBitmapFromMemory(data, size, pixels, &bitmap) != Ok)
        return picture;
    GdiImage* image = new GdiImage(bitmap);
    if (!image) {
        GdipDisposeImage(bitmap);
        return picture;
    }
    picture.raster.reset(image);
    return picture;
}
