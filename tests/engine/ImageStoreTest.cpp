// The images of a document: data URLs, files confined to the SVG file's
// folder, each file decoded once, a pixel budget per document.

#include "ImageBytes.h"
#include "engine/SvgImageStore.h"

#include "engine/GdiImage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// root/outside.png and root/doc/{doc.svg, a.png, sub/b.png, links, a FIFO, a folder}.
class ImageFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kelsvg-images-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(pattern));
        root = pattern;
        doc = root + "/doc";
        Bytes png = PngFromArgb(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF});
        ASSERT_EQ(0, mkdir(doc.c_str(), 0700));
        ASSERT_EQ(0, mkdir((doc + "/sub").c_str(), 0700));
        ASSERT_EQ(0, mkdir((doc + "/dir").c_str(), 0700));
        for (const std::string& name : {root + "/outside.png", doc + "/a.png", doc + "/sub/b.png"})
            std::ofstream(name, std::ios::binary)
                .write(reinterpret_cast<const char*>(png.data()), long(png.size()));
        ASSERT_EQ(0, symlink("../outside.png", (doc + "/link-out.png").c_str()));
        ASSERT_EQ(0, symlink("sub/b.png", (doc + "/link-in.png").c_str()));
        ASSERT_EQ(0, mkfifo((doc + "/fifo.png").c_str(), 0600));
        store.Reset((doc + "/doc.svg").c_str());
    }
    void TearDown() override { std::system(("rm -rf '" + root + "'").c_str()); }

    std::string root, doc;
    SvgImageStore store;
};

TEST_F(ImageFolder, FilesResolveOnlyInsideTheFolderAndItsSubfolders) {
    const std::pair<std::string, bool> cases[] = {
        {"a.png", true},
        {" sub/b.png ", true},
        {"./sub/../a.png", true},
        {"sub/%62.png", true},
        {"link-in.png", true},
        {doc + "/a.png", true},
        {"file://" + doc + "/sub/b.png", true},
        {"file://localhost" + doc + "/a.png", true},
        {"../outside.png", false},
        {"sub/../../outside.png", false},
        {root + "/outside.png", false},
        {"link-out.png", false},
        {"/etc/passwd", false},
        {"file:///etc/passwd", false},
        {"file://example.com" + doc + "/a.png", false},
        {"http://example.com/a.png", false},
        {"a.png#frag", false},
        {"a.png?x=1", false},
        {"missing.png", false},
        {"a%00.png", false},
        {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        std::string path;
        EXPECT_EQ(c.second, store.ResolveFile(c.first.c_str(), path));
        EXPECT_EQ(c.second, !path.empty());
    }
    // Without a folder, no file is read at all.
    SvgImageStore none;
    none.Reset(nullptr);
    std::string path;
    EXPECT_FALSE(none.ResolveFile((doc + "/a.png").c_str(), path));
}

TEST_F(ImageFolder, EachFileIsDecodedOnceAndOnlyRegularFilesAreRead) {
    std::shared_ptr<GdiImage> first = store.Load("a.png");
    ASSERT_TRUE(first);
    EXPECT_EQ(first, store.Load("./a.png"));
    EXPECT_EQ(SvgImageStore::kPixelBudget - 4, store.GetPixelsLeft());
    EXPECT_NE(first, store.Load("sub/b.png"));
    // A FIFO would block a plain read; a folder has no bytes.
    EXPECT_FALSE(store.Load("fifo.png"));
    EXPECT_FALSE(store.Load("dir"));
    EXPECT_FALSE(store.Load("../outside.png"));
    // Data URLs need no folder; damaged ones give nothing.
    Bytes png = PngFromArgb(1, 1, {0xFF000000});
    EXPECT_TRUE(store.Load(DataUrl(png).c_str()));
    EXPECT_FALSE(store.Load("data:image/png;base64,iVBORw0KGgo="));
}

TEST_F(ImageFolder, TheBudgetPaysForWhatIsAttemptedAndRefusesWhatExceedsIt) {
    // A damaged image of 4000 × 4000 costs its pixels though it draws nothing.
    Bytes png = PngFromArgb(1, 1, {0xFF000000});
    std::string damaged = DataUrl(WithDeclaredSize(png, 4000, 4000));
    uint64_t left = store.GetPixelsLeft();
    EXPECT_FALSE(store.Load(damaged.c_str()));
    EXPECT_EQ(left - 16000000, store.GetPixelsLeft());
    // Past the per-image limit, or the budget left: refused from the header, free.
    left = store.GetPixelsLeft();
    EXPECT_FALSE(store.Load(DataUrl(WithDeclaredSize(png, 8000, 8000)).c_str()));
    EXPECT_EQ(left, store.GetPixelsLeft());
    while (store.GetPixelsLeft() >= 16000000)
        store.Load(damaged.c_str());
    left = store.GetPixelsLeft();
    EXPECT_FALSE(store.Load(damaged.c_str()));
    EXPECT_EQ(left, store.GetPixelsLeft());
    EXPECT_TRUE(store.Load(DataUrl(png).c_str())); // what fits is still drawn
    // A new document starts with the whole budget.
    store.Reset((doc + "/doc.svg").c_str());
    EXPECT_EQ(SvgImageStore::kPixelBudget, store.GetPixelsLeft());
}

} // namespace
