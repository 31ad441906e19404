// The user's copy of a snapshot and the picture on the page, without a player.
#include "player/DCVSnapshotController.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
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

TEST(SnapshotCopyTest, AFailedWriteSaysWhyAndLeavesAnOldFileWhole) {
    TempDir dir;
    QImage picture(64, 36, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const QString snapshot = qpath(dir / "telvo_capture.jpg");
    ASSERT_TRUE(picture.save(snapshot));

    EXPECT_FALSE(
        DCVSnapshotController::writeSnapshotCopy(snapshot, qpath(dir / "no/such/folder/a.jpg")).isEmpty());
    EXPECT_FALSE(
        DCVSnapshotController::writeSnapshotCopy(qpath(dir / "gone.jpg"), qpath(dir / "a.jpg")).isEmpty());
    EXPECT_FALSE(QFile::exists(qpath(dir / "a.jpg")));
    // A name without a picture extension names no format to write.
    EXPECT_FALSE(DCVSnapshotController::writeSnapshotCopy(snapshot, qpath(dir / "a")).isEmpty());
    EXPECT_FALSE(QFile::exists(qpath(dir / "a")));

    // A file marked read-only is refused, also for root, and stays as it was.
    const std::string old = "the user's old file";
    const std::filesystem::path kept = dir.write("kept.png", old);
    ASSERT_EQ(chmod(kept.c_str(), 0444), 0);
    EXPECT_FALSE(DCVSnapshotController::writeSnapshotCopy(snapshot, qpath(kept)).isEmpty());
    EXPECT_EQ(readFile(kept), old);
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
