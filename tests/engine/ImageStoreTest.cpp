// The images of a document: files confined to the SVG file's folder, each
// decoded once, and a pixel budget per document.

#include "ImageBytes.h"
#include "SvgTestSupport.h"
#include "engine/SvgImageStore.h"

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// root/up.png, root/doc2/in.png, and root/doc/ with doc.svg, in.png, sub/in.png, links in and
// out, a FIFO and a folder.
class ImageFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kelsvg-images-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(pattern));
        root = pattern;
        doc = root + "/doc";
        for (const std::string& dir : {doc, root + "/doc2", doc + "/sub", doc + "/dir"})
            ASSERT_EQ(0, mkdir(dir.c_str(), 0700));
        Bytes png = PngFromArgb(1, 1, {0xFFFF0000});
        for (const std::string& name :
             {root + "/up.png", root + "/doc2/in.png", doc + "/in.png", doc + "/sub/in.png"})
            std::ofstream(name, std::ios::binary).write((const char*)png.data(), long(png.size()));
        ASSERT_EQ(0, symlink("../up.png", (doc + "/out.png").c_str()));
        ASSERT_EQ(0, symlink("sub/in.png", (doc + "/link.png").c_str()));
        ASSERT_EQ(0, mkfifo((doc + "/fifo.png").c_str(), 0600));
        store.Reset((doc + "/doc.svg").c_str());
    }
    void TearDown() override { std::system(("rm -rf '" + root + "'").c_str()); }

    std::string root, doc;
    SvgImageStore store;
};

TEST_F(ImageFolder, FilesResolveOnlyInsideTheFolderAndItsSubfolders) {
    const std::pair<std::string, bool> cases[] = {
        {"in.png", true},
        {" sub/in.png ", true},
        {"./sub/../in.png", true},
        {"sub/%69n.png", true},
        {"link.png", true},
        {doc + "/in.png", true},
        {"file://" + doc + "/sub/in.png", true},
        {"file://localhost" + doc + "/in.png", true},
        {"../up.png", false},
        {root + "/up.png", false},
        {root + "/doc2/in.png", false}, // a sibling whose name starts like the folder's
        {"out.png", false},
        {"file:///etc/passwd", false},
        {"file://example.com" + doc + "/in.png", false},
        {"http://example.com/in.png", false},
        {"in.png#frag", false}, // queries and fragments name no file
        {"missing.png", false},
        {"in%00.png", false},
    };
    for (const auto& c : cases) {
        std::string path;
        EXPECT_EQ(c.second, store.ResolveFile(c.first.c_str(), path)) << c.first;
        EXPECT_EQ(c.second, !path.empty()) << c.first;
    }
    SvgImageStore none; // without a folder no file is read
    std::string path;
    EXPECT_FALSE(none.ResolveFile((doc + "/in.png").c_str(), path));
}

TEST_F(ImageFolder, EachFileIsDecodedOnceAndOnlyRegularFilesAreRead) {
    std::shared_ptr<GdiImage> first = store.Load("in.png");
    ASSERT_TRUE(first);
    EXPECT_EQ(first, store.Load("./in.png"));
    EXPECT_EQ(SvgImageStore::kPixelBudget - 1, store.GetPixelsLeft());
    EXPECT_FALSE(store.Load("fifo.png")); // never waits for a writer
    EXPECT_FALSE(store.Load("dir"));
}

// Through the library: a file below the folder draws; one above it, by an
// absolute path outside, or through a link leading out, does not.
TEST_F(ImageFolder, DocumentsDrawOnlyTheirOwnFiles) {
    std::ofstream(doc + "/doc.svg") << SvgDocument(
        40, 10,
        "<image width='10' height='10' href='sub/in.png'/><image x='10' width='10' "
        "height='10' href='../up.png'/><image x='20' width='10' height='10' xlink:href='" +
            root + "/up.png'/><image x='30' width='10' height='10' href='out.png'/>");
    Picture picture = RenderSvgFileTimes(doc + "/doc.svg", 40, 10, 1).front();
    EXPECT_EQ(0xFFFF0000u, picture.At(5, 5));
    for (int x : {15, 25, 35})
        EXPECT_EQ(0u, picture.At(x, 5)) << x;
}

// SVG pictures: their references start from their own folder and stay in
// the document's; one showing itself, directly or not, shows nothing there.
TEST_F(ImageFolder, SvgPicturesShareTheFolderAndEndCycles) {
    auto write = [](const std::string& path, const std::string& body) {
        std::ofstream(path) << SvgDocument(10, 10, body);
    };
    write(doc + "/sub/inner.svg", "<image width='10' height='5' href='../in.png'/>"
                                  "<image y='5' width='10' height='5' href='../../up.png'/>");
    write(doc + "/sub/a.svg", "<rect width='10' height='5' fill='blue'/>"
                              "<image width='10' height='10' href='b.svg'/>");
    write(doc + "/sub/b.svg", "<rect y='5' width='10' height='5' fill='lime'/>"
                              "<image width='10' height='10' href='a.svg'/>");
    std::ofstream(doc + "/doc.svg")
        << SvgDocument(40, 10,
                       "<rect x='10' width='10' height='10' fill='red'/>"
                       "<image width='10' height='10' href='sub/inner.svg'/>"
                       "<image x='20' width='10' height='10' href='sub/a.svg'/>"
                       "<image x='10' width='10' height='10' href='doc.svg'/>"
                       "<image x='30' width='10' height='10' href='file:doc.svg'/>");
    Picture picture = RenderSvgFileTimes(doc + "/doc.svg", 40, 10, 1).front();
    // inner.svg: its sibling folder's picture, not the one outside; a.svg
    // shows b.svg, which shows a.svg only as far as a cycle allows.
    ExpectPixels(picture,
                 {Px(5, 2, 0xFFFF0000), Px(5, 7, 0), Px(15, 5, 0xFFFF0000), Px(16, 4, 0xFFFF0000),
                  Px(25, 2, 0xFF0000FF), Px(25, 7, 0xFF00FF00), Px(35, 5, 0)});
    SvgPicture inner = store.LoadPicture("sub/inner.svg");
    ASSERT_TRUE(inner.document && !inner.raster);
    EXPECT_EQ(inner.document, store.LoadPicture("sub/../sub/inner.svg").document);
}

TEST_F(ImageFolder, TheBudgetPaysForWhatIsAttemptedAndRefusesWhatExceedsIt) {
    // A damaged image of 4000 × 4000 costs its pixels though it draws nothing;
    // one past the per-image limit or the budget left is refused free of charge.
    Bytes png = PngFromArgb(1, 1, {0xFF000000});
    std::string damaged = DataUrl(WithDeclaredSize(png, 4000, 4000));
    EXPECT_FALSE(store.Load(damaged.c_str()));
    EXPECT_EQ(SvgImageStore::kPixelBudget - 16000000, store.GetPixelsLeft());
    EXPECT_FALSE(store.Load(DataUrl(WithDeclaredSize(png, 8000, 8000)).c_str()));
    EXPECT_EQ(SvgImageStore::kPixelBudget - 16000000, store.GetPixelsLeft());
    while (store.GetPixelsLeft() >= 16000000)
        store.Load(damaged.c_str());
    uint64_t left = store.GetPixelsLeft();
    EXPECT_FALSE(store.Load(damaged.c_str()));
    EXPECT_EQ(left, store.GetPixelsLeft());
    EXPECT_TRUE(store.Load(DataUrl(png).c_str())); // what fits is still drawn
    store.Reset((doc + "/doc.svg").c_str());
    EXPECT_EQ(SvgImageStore::kPixelBudget, store.GetPixelsLeft());
}

} // namespace
