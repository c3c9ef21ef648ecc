#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

class GdiImage;

// The raster images of one document, decoded within limits. An image comes
// from a `data:` URL or from a file inside the folder of the SVG file (or one
// of its subfolders, symbolic links resolved); nothing is fetched from a
// network or read from anywhere else. Each file is read and decoded once,
// however often the document names it.
class SvgImageStore {
public:
    // Pixels of one image, checked from its header before it is decoded.
    static constexpr uint64_t kMaxImagePixels = uint64_t(1) << 25;
    // Pixels decoded for one document in all (images refused past it).
    static constexpr uint64_t kPixelBudget = uint64_t(1) << 27;
    // Largest image file read.
    static constexpr int64_t kMaxFileBytes = int64_t(256) << 20;

    SvgImageStore() = default;
    SvgImageStore(const SvgImageStore&) = delete;
    SvgImageStore& operator=(const SvgImageStore&) = delete;

    // Forgets every image and restores the budget; file references now
    // resolve in the folder of svgPath (none when it has no folder that exists).
    void Reset(const char* svgPath);

    // The image href names, decoded; null when it names nothing that may be
    // read, or what it names cannot be decoded within the limits.
    std::shared_ptr<GdiImage> Load(const char* href);

    // The file href (a path or a file: URL, relative or absolute, with %XX
    // escapes) names inside the folder, with every symbolic link and ".."
    // resolved; false when it names none there.
    bool ResolveFile(const char* href, std::string& path) const;

    uint64_t GetPixelsLeft() const { return m_pixelsLeft; }

private:
    std::shared_ptr<GdiImage> Decode(const unsigned char* data, size_t size);
    // The folder, resolved at the first reference to a file (most documents
    // make none: a batch of them spares a walk of every folder's path).
    const std::string& Folder() const;

    std::string m_folderPath;        // as given, made absolute
    mutable std::string m_folder;    // resolved, without a trailing '/' (except "/")
    mutable bool m_resolved = false; // m_folder is m_folderPath resolved
    uint64_t m_pixelsLeft = kPixelBudget;
    // Files by resolved path; null for one that could not be used.
    std::unordered_map<std::string, std::shared_ptr<GdiImage>> m_files;
};
