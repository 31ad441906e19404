// The user's copy of a snapshot and the picture on the page, without a player.
#include "platform/ImageFile.h"
#include "player/DCVSnapshotController.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace dcv;
using namespace dcv::test;

namespace {

QString qpath(const std::filesystem::path& p) {
    return QString::fromStdString(p.string());
}

} // namespace

// The viewer's picture files (the snapshot, the user's copy of it, a screenshot) are read and
// written by the readers and writers of regular files only (their own tests list what they refuse):
// the format follows the name, nothing waits on a FIFO, and a refused file stays as it was.
TEST(SnapshotCopyTest, PictureFilesAreReadAndWrittenOnlyAsRegularFiles) {
    TempDir dir;
    QImage picture(64, 36, QImage::Format_RGB32);
    picture.fill(Qt::green);
    const QString snapshot = qpath(dir / "telvo_capture.jpg");
    ASSERT_EQ(writePictureFile(picture, snapshot), QString());
    ASSERT_EQ(::mkfifo((dir / "fifo.png").c_str(), 0600), 0);
    const struct {
        const char* name;
        QByteArray format; // written in this format; empty: refused
    } writes[] = {
        {"copy.jpg", "jpeg"}, {"copy.PNG", "png"}, {"fifo.png", ""}, {"copy.txt", ""}, {"copy", ""},
    };
    for (const auto& c : writes) {
        const QString path = qpath(dir / c.name);
        // The copy (bytes as taken, or converted) and a picture encoded here alike.
        for (const QString& error :
             {DCVSnapshotController::writeSnapshotCopy(snapshot, path), writePictureFile(picture, path)}) {
            EXPECT_EQ(error.isEmpty(), !c.format.isEmpty()) << c.name << ": " << error.toStdString();
            if (!c.format.isEmpty()) {
                QImageReader reader(path);
                EXPECT_EQ(reader.format(), c.format) << c.name;
                EXPECT_EQ(reader.size(), picture.size()) << c.name;
            }
        }
    }
    EXPECT_TRUE(std::filesystem::is_fifo(dir / "fifo.png"));
    for (const char* never : {"copy.txt", "copy"})
        EXPECT_FALSE(std::filesystem::exists(dir / never)) << never;

    // A sparse file past the cap costs nothing to make and must not be read.
    const std::filesystem::path huge = dir / "huge.png";
    std::filesystem::resize_file(dir.write("huge.png"), kMaxPictureFile + 1);
    const struct {
        std::string path;
        bool read;
    } reads[] = {
        {(dir / "copy.PNG").string(), true},
        {(dir / "fifo.png").string(), false},
        {huge.string(), false},
    };
    for (const auto& c : reads) {
        QString error;
        const QByteArray bytes = readPictureFile(QString::fromStdString(c.path), error);
        EXPECT_EQ(error.isEmpty(), c.read) << c.path << ": " << error.toStdString();
        EXPECT_EQ(QImage::fromData(bytes).size(), c.read ? picture.size() : QSize(0, 0)) << c.path;
        // Nor is a copy made of what cannot be read.
        EXPECT_EQ(
            DCVSnapshotController::writeSnapshotCopy(QString::fromStdString(c.path), qpath(dir / "out.png"))
                .isEmpty(),
            c.read)
            << c.path;
    }
}

TEST(SnapshotCopyTest, ThePanelStartsInTheFirstFolderThatIsThere) {
    TempDir dir;
    dir.write("file", "x");
    const QString a = qpath(dir / "a"), b = qpath(dir / "b"), missing = qpath(dir / "missing");
    QDir().mkpath(a);
    QDir().mkpath(b);
    const struct {
        QStringList folders;
        QString expected;
    } cases[] = {
        {{a, b}, a},
        {{missing, b, a}, b},
        {{QString(), qpath(dir / "file"), a}, a}, // a file is no folder
        {{missing}, QDir::homePath()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DCVSnapshotController::firstExistingFolder(c.folders), c.expected)
            << c.folders.join(u',').toStdString();
}

TEST(SnapshotCopyTest, ThePictureFillsThePageAsFarAsItsAspectAllows) {
    const struct {
        QSizeF picture;
        QRectF page, expected;
    } cases[] = {
        {{640, 360}, {0, 0, 800, 1000}, {0, 275, 800, 450}},   // wide picture, tall page
        {{360, 640}, {0, 0, 1000, 800}, {275, 0, 450, 800}},   // tall picture, wide page
        {{100, 100}, {50, 50, 200, 400}, {50, 150, 200, 200}}, // page not at the origin
        {{10, 5}, {0, 0, 4000, 2000}, {0, 0, 4000, 2000}},     // small pictures grow
        {{0, 360}, {0, 0, 800, 1000}, {}},                     // no picture: nothing drawn
    };
    for (const auto& c : cases)
        EXPECT_EQ(DCVSnapshotController::fitToPage(c.picture, c.page), c.expected)
            << c.picture.width() << "x" << c.picture.height();

    QImage page(100, 200, QImage::Format_RGB32);
    page.fill(Qt::white);
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QPainter painter(&page);
    DCVSnapshotController::drawFitToPage(painter, picture, QRectF(0, 0, 100, 200));
    painter.end();
    // 100 x 50 in the middle of the page.
    EXPECT_EQ(page.pixelColor(50, 100), QColor(Qt::blue));
    EXPECT_EQ(page.pixelColor(1, 76), QColor(Qt::blue));
    EXPECT_EQ(page.pixelColor(50, 72), QColor(Qt::white));
    EXPECT_EQ(page.pixelColor(50, 128), QColor(Qt::white));
}
