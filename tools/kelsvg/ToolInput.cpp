#include "ToolInput.h"

#include "engine/SvgXmlReader.h"
#include "syntax/SvgNumberText.h"

#include <tinyxml.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>

namespace {

struct Unit {
    const char* suffix;
    double factor;
};

// Absolute units only: relative ones give the document no size.
const Unit kUnits[] = {{"", 1.0},
                       {"px", 1.0},
                       {"pt", 1.25},
                       {"pc", 15.0},
                       {"mm", 3.5433070866141736},
                       {"cm", 35.43307086614173},
                       {"in", 90.0}};

bool ReadAbsoluteLength(const char* text, double& out) {
    if (!text)
        return false;
    double number = 0;
    size_t used = SvgNumberText::Scan(text, number);
    if (used == 0)
        return false;
    for (const Unit& unit : kUnits) {
        if (std::strcmp(text + used, unit.suffix) == 0) {
            out = static_cast<float>(number * unit.factor);
            return true;
        }
    }
    return false;
}

// Four numbers separated by white space.
bool ReadViewBox(const char* text, double box[4]) {
    if (!text)
        return false;
    std::istringstream words(text);
    std::string word;
    int count = 0;
    while (words >> word) {
        if (count == 4)
            return false;
        const char* first = word.c_str();
        const char* last = first + word.size();
        if (SvgNumberText::MatchDecimal(first, last) != word.size())
            return false;
        if (!SvgNumberText::Convert(first, last, box[count]))
            return false;
        ++count;
    }
    return count == 4;
}

} // namespace

ToolInput InspectInput(const std::string& path) {
    ToolInput result;
    std::string bytes;
    errno = 0;
    if (!SvgXmlReader::ReadFile(path.c_str(), bytes)) {
        result.problem =
            std::string("cannot read: ") + (errno ? std::strerror(errno) : "read error");
        return result;
    }
    if (bytes.empty()) {
        result.problem = "the file is empty";
        return result;
    }
    TiXmlDocument doc;
    if (!SvgXmlReader::Parse(std::move(bytes), doc)) {
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
        result.problem =
            top ? "not SVG: the top-level element is <" + std::string(top->Value()) + ">, not <svg>"
                : "not SVG: no top-level <svg> element";
        return result;
    }
    result.ok = true;

    double width = 0, height = 0;
    bool haveWidth = ReadAbsoluteLength(svg->Attribute("width"), width);
    bool haveHeight = ReadAbsoluteLength(svg->Attribute("height"), height);
    double box[4] = {0, 0, 0, 0};
    bool boxUsable = ReadViewBox(svg->Attribute("viewBox"), box) && box[2] > 0 && box[3] > 0;
    result.width = haveWidth ? width : (boxUsable ? static_cast<float>(box[2]) : 0.0);
    result.height = haveHeight ? height : (boxUsable ? static_cast<float>(box[3]) : 0.0);
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
