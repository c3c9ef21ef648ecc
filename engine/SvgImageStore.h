#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class GdiImage;
class SvgEngine;

// What an `image` shows: a decoded raster picture, or an SVG document.
struct SvgPicture {
    std::shared_ptr<GdiImage> raster;
    std::shared_ptr<SvgEngine> document;

    explicit operator bool() const { return raster || document; }
};

// The pictures of one document, decoded within limits. A picture comes from
// a `data:` URL or from a file inside the folder of the SVG file (or one of
// its subfolders, symbolic links resolved); nothing is fetched from a network
// or read from anywhere else. Each file is read and decoded once, however
// often the document names it. An SVG picture is a document of its own, whose
// pictures share the limits, the files and the folder of the document that
// shows it (relative references start from its own folder); a document that
// shows itself, directly or through others, and documents nested too deep,
// show nothing there.
class SvgImageStore {
public:
    // Pixels of one image, checked from its header before it is decoded.
    static constexpr uint64_t kMaxImagePixels = uint64_t(1) << 25;
    // Pixels decoded for one document in all (images refused past it).
    static constexpr uint64_t kPixelBudget = uint64_t(1) << 27;
    // Largest image file read.
    static constexpr int64_t kMaxFileBytes = int64_t(256) << 20;
    // Documents shown inside one another at most (the document itself counts).
    static constexpr size_t kMaxDocumentDepth = 8;
    // Elements drawn through SVG pictures in one draw of the document, at
    // most (each picture drawn counts 16 more): pictures that show pictures
    // may multiply them without end.
    static constexpr long kNestedDrawBudget = 1000000;
    // Elements made through copies by all the SVG pictures of a document.
    static constexpr long kNestedCopyBudget = 250000;

    SvgImageStore() = default;
    ~SvgImageStore();
    SvgImageStore(const SvgImageStore&) = delete;
    SvgImageStore& operator=(const SvgImageStore&) = delete;

    // Forgets every image and restores the budget; file references now
    // resolve in the folder of svgPath (none when it has no folder that exists).
    void Reset(const char* svgPath);

    // Makes this (empty) store that of a document shown by parent's, read
    // from the file path (empty for a `data:` URL).
    void Nest(const SvgImageStore& parent, const std::string& path);

    // The picture href names, decoded; empty when it names nothing that may
    // be read, or what it names cannot be decoded within the limits.
    SvgPicture LoadPicture(const char* href);
    // The raster picture href names (LoadPicture's raster).
    std::shared_ptr<GdiImage> Load(const char* href) { return LoadPicture(href).raster; }

    // Starts a draw of the document: the nested draw budget is whole again.
    void BeginDraw() { m_shared->drawsLeft = kNestedDrawBudget; }
    // Takes the cost of drawing a nested document from the budget; false
    // (nothing taken) when too little is left.
    bool TakeDraw(long cost);

    // The file href (a path or a file: URL, relative or absolute, with %XX
    // escapes) names inside the folder, with every symbolic link and ".."
    // resolved; false when it names none there.
    bool ResolveFile(const char* href, std::string& path) const;

    uint64_t GetPixelsLeft() const { return m_shared->pixelsLeft; }
    // The elements the documents shown (by this document, and by those it
    // shows) may still make through copies, together.
    long GetCopiesLeft() const { return m_shared->copiesLeft; }
    void SpendCopies(long count) { m_shared->copiesLeft -= count > 0 ? count : 0; }

private:
    // What a document shares with the documents it shows.
    struct Shared {
        uint64_t pixelsLeft = kPixelBudget;
        // Files by resolved path; empty for one that could not be used.
        std::unordered_map<std::string, SvgPicture> files;
        // The documents being read, outermost first: a file's resolved path,
        // or an empty string for one from a `data:` URL.
        std::vector<std::string> reading;
        long drawsLeft = kNestedDrawBudget;
        long copiesLeft = kNestedCopyBudget;
        bool topResolved = true; // reading[0] is resolved
    };

    // Whether the file at the resolved path is a document being read.
    bool IsReading(const std::string& path) const;

    SvgPicture Decode(const unsigned char* data, size_t size, const std::string& path);
    // The folder, resolved at the first reference to a file (most documents
    // make none: a batch of them spares a walk of every folder's path).
    const std::string& Folder() const;

    std::string m_folderPath;        // as given, made absolute
    mutable std::string m_folder;    // resolved, without a trailing '/' (except "/")
    mutable bool m_resolved = false; // m_folder is m_folderPath resolved
    std::string m_base;              // relative references start here (empty: m_folder)
    std::shared_ptr<Shared> m_shared = std::make_shared<Shared>();
    // The store made m_shared (documents it shows share it, and it holds
    // them: it lets go of them at its end).
    bool m_ownsShared = true;
};
