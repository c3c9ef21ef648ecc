#include "ToolInput.h"

#include "engine/SvgXmlNamespaces.h"
#include "engine/SvgXmlReader.h"

#include <tinyxml.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>

std::string InputStatusText(SvgInputStatus status) {
    std::string limit = std::to_string(SvgInputDecoder::kMaxSize >> 20) + " MB";
    switch (status) {
    case SvgInputStatus::TooLarge:
        return "the document is larger than " + limit +
               " once decompressed or decoded (a gzip bomb?); not read past that";
    case SvgInputStatus::Truncated:
        return "damaged gzip data: the compressed stream is cut short";
    case SvgInputStatus::Damaged:
        return "damaged gzip data: the compressed stream is corrupt";
    default:
        return "";
    }
}

std::string ErrorText(int error) {
    char buffer[256];
    // The GNU form: the text may be a constant string instead of the buffer.
    return strerror_r(error, buffer, sizeof buffer);
}

ToolInput InspectInput(const std::string& path) {
    ToolInput result;
    std::string bytes;
    errno = 0;
    if (!SvgXmlReader::ReadFile(path.c_str(), bytes)) {
        result.problem = std::string("cannot read: ") + (errno ? ErrorText(errno) : "read error");
        return result;
    }
    if (bytes.empty()) {
        result.problem = "the file is empty";
        return result;
    }
    SvgInputStatus input = SvgInputDecoder::Decode(bytes);
    if (input != SvgInputStatus::Ok) {
        result.problem = InputStatusText(input);
        return result;
    }
    TiXmlDocument doc;
    if (!SvgXmlReader::ParseDecoded(std::move(bytes), doc)) {
        std::ostringstream message;
        message << "not well-formed XML: " << doc.ErrorDesc();
        if (doc.ErrorRow() > 0)
            message << " (line " << doc.ErrorRow() << ", column " << doc.ErrorCol() << ")";
        result.problem = message.str();
        return result;
    }
    TiXmlElement* svg = doc.FirstChildElement("svg");
    if (!svg) {
        TiXmlElement* top = doc.FirstChildElement();
        std::string name = top ? top->Value() : "";
        size_t brace = name.find('}');
        if (!name.empty() && name[0] == '{' && brace != std::string::npos) {
            // An element of another namespace, named "{URI}local".
            std::string uri = name.substr(1, brace - 1);
            result.problem = "not SVG: the top-level element <" + name.substr(brace + 1) +
                             "> is in " +
                             (uri.empty() ? "no namespace (xmlns=\"\")" : "the namespace " + uri) +
                             ", not in SVG's (" + SvgXmlNamespaces::kSvg + ")";
        } else {
            result.problem = top ? "not SVG: the top-level element is <" + name + ">, not <svg>"
                                 : "not SVG: no top-level <svg> element";
        }
        return result;
    }
    result.ok = true;
    return result;
}

InMemoryFile::~InMemoryFile() {
    if (m_fd >= 0)
        close(m_fd);
}

bool InMemoryFile::Open(const std::string& bytes) {
    m_fd = memfd_create("kelsvg-input", MFD_CLOEXEC);
    if (m_fd < 0)
        return false;
    for (size_t done = 0; done < bytes.size();) {
        ssize_t n = write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    m_path = "/proc/self/fd/" + std::to_string(m_fd);
    return true;
}
