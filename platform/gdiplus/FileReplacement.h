#pragma once

#include <string>

#include "interface/KelSvgExport.h"

namespace Gdiplus {

// Writes a file so that a failed write leaves what was there before: the bytes
// go to a temporary file beside the target, which is renamed over it once all
// is written. A target that is a symbolic link is followed, so the link stays
// and the file it names is replaced. A target that exists but is no regular
// file (a device such as /dev/stdout, a pipe, a socket) is written in place:
// renaming over it would put a plain file where the device was. Exported for
// hosts and the tools that write images.
class KELSVG_API FileReplacement {
public:
    FileReplacement() = default;
    ~FileReplacement(); // an uncommitted write is discarded
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Opens the file to write; false, with errno set, when it cannot be made.
    bool Open(const std::string& path);
    // The descriptor to write to, -1 before Open or after Commit.
    int Descriptor() const { return m_fd; }
    // Closes the file and, when ok, puts it in place; a file whose write
    // failed (ok false) is removed. False, with errno set, when anything
    // failed.
    bool Commit(bool ok);

private:
    std::string m_target; // where the file goes
    std::string m_temp;   // empty when writing the target in place
    int m_fd = -1;
};

} // namespace Gdiplus
