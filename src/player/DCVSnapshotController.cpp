#include "player/DCVSnapshotController.h"

#include "platform/DCVStrings.h"
#include "platform/ImageFile.h"
#include "platform/vlc/MediaPlayer.h"
#include "player/DCVPlaybackController.h"
#include "util/Log.h"
#include "widgets/AlertSheet.h"

#include <QAction>
#include <QBuffer>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPrinter>
#include <QStandardPaths>
#include <QUrl>

namespace dcv {

namespace {

constexpr const char* kSnapshotName = "telvo_capture.jpg";

QByteArray formatOfBytes(QByteArray& bytes) {
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    return reader.format();
}

} // namespace

DCVSnapshotController::DCVSnapshotController(DCVPlaybackController& playback, QWidget* window,
                                             Services services, QObject* parent)
    : QObject(parent), m_playback(playback), m_window(window), m_services(std::move(services)),
      m_captureAction(new QAction(infoText("main.capture"), this)),
      m_printAction(new QAction(infoText("main.print"), this)) {
    m_captureAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_printAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    for (QAction* a : {m_captureAction, m_printAction})
        a->setShortcutContext(Qt::WindowShortcut);
    connect(m_captureAction, &QAction::triggered, this, &DCVSnapshotController::captureVideo);
    connect(m_printAction, &QAction::triggered, this, &DCVSnapshotController::print);
    if (MediaPlayer* player = m_playback.player())
        connect(player, &MediaPlayer::mediaPlayerStateChanged, this, &DCVSnapshotController::updateActions);
    updateActions();
}

DCVSnapshotController::~DCVSnapshotController() = default;

QString DCVSnapshotController::firstExistingFolder(const QStringList& folders) {
    for (const QString& folder : folders)
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return folder;
    return QDir::homePath();
}

QString DCVSnapshotController::snapshotPath() const {
    // The user's own runtime folder rather than the shared one: other users can neither see the
    // picture nor put a file of theirs in its place.
    QString folder = m_services.temporaryFolder;
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return QDir(folder).filePath(QLatin1String(kSnapshotName));
}

bool DCVSnapshotController::takeSnapshot(MediaPlayer& player) {
    // Width and height 0: the picture at the recording's own size.
    const QString snapshot = snapshotPath();
    if (player.saveVideoSnapshotAt(snapshot, 0, 0))
        return true;
    dcvLog("snapshot fail:%s", snapshot.toUtf8().constData());
    // The action did nothing the user could see: say so (a full disk, something else in the
    // file's place).
    showAlertSheet(m_window, QStringLiteral("TELVO"), infoText("msg.capture_save_fail") + u'\n' + snapshot);
    return false;
}

void DCVSnapshotController::updateActions() {
    const MediaPlayer* player = m_playback.player();
    const bool playing = player && player->isPlaying();
    // A picture is on screen while a recording plays or stands paused (also at its end).
    const bool shown = player && player->media() && (playing || player->state() == VLCMediaPlayerStatePaused);
    m_captureAction->setEnabled(playing);
    m_printAction->setEnabled(shown);
}

// ---------------------------------------------------------------------------------------------
// Capture.

void DCVSnapshotController::captureVideo() {
    MediaPlayer* player = m_playback.player();
    if (!player || !player->isPlaying() || !takeSnapshot(*player))
        return;
    // The snapshot's bytes are JPEG: the name proposed says so, so that the saved file opens
    // everywhere.
    const QString desktop = firstExistingFolder(
        {QStandardPaths::writableLocation(QStandardPaths::DesktopLocation),
         QStandardPaths::writableLocation(QStandardPaths::PicturesLocation), QDir::homePath()});
    m_services.filePanels->saveFile(m_window, QStringLiteral("Save Settings"),
                                    QDir(desktop).filePath(QLatin1String(kSnapshotName)),
                                    {QStringLiteral("JPEG (*.jpg *.jpeg)"), QStringLiteral("PNG (*.png)")},
                                    [this](const QString& chosen) {
                                        if (!chosen.isEmpty())
                                            saveCapture(chosen);
                                    });
}

void DCVSnapshotController::saveCapture(const QString& chosen) {
    const QString error = writeSnapshotCopy(snapshotPath(), chosen);
    if (!error.isEmpty()) {
        dcvLog("capture save fail:%s", error.toUtf8().constData());
        showAlertSheet(m_window, QStringLiteral("TELVO"), infoText("msg.capture_save_fail") + u'\n' + error);
        return;
    }
    emit captureSaved(chosen);
    // The user's copy is opened: the temporary file is rewritten by the next capture.
    if (m_services.openUrl)
        m_services.openUrl(QUrl::fromLocalFile(chosen));
}

QString DCVSnapshotController::writeSnapshotCopy(const QString& snapshot, const QString& path) {
    QString error;
    QByteArray bytes = readPictureFile(snapshot, error);
    if (!error.isEmpty())
        return error;
    // Bytes already in the format the name asks for are copied as they are; anything else is
    // converted, or refused by the picture writer when the name asks for no picture format.
    const QByteArray format = imageFormatOfSuffix(QFileInfo(path).suffix());
    if (!format.isEmpty() && formatOfBytes(bytes) == format)
        return writeFileBytes(path, bytes);
    const QImage picture = QImage::fromData(bytes);
    if (picture.isNull())
        return snapshot + QStringLiteral(": not a picture");
    return writePictureFile(picture, path);
}

// ---------------------------------------------------------------------------------------------
// Print.

QPrinter& DCVSnapshotController::loadPrintInfo() {
    if (!m_printInfo)
        m_printInfo = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printInfo;
}

void DCVSnapshotController::print() {
    MediaPlayer* player = m_playback.player();
    if (!player || !player->media() || !takeSnapshot(*player))
        return;
    m_services.printDialog->askForPrinter(m_window, loadPrintInfo(), [this](bool accepted) {
        printPanelDidEnd(accepted ? QDialog::Accepted : QDialog::Rejected);
    });
}

void DCVSnapshotController::printPanelDidEnd(int returnCode) {
    if (returnCode != QDialog::Accepted)
        return;
    QPrinter& printer = loadPrintInfo();
    // A PDF or a file is not a printer: nothing is printed there.
    if (printer.outputFormat() != QPrinter::NativeFormat || !printer.outputFileName().isEmpty()) {
        dcvLog("Either got an error from PMSessionGetDestinationType or the print destination wasn't "
               "kPMDestinationPrinter");
        return;
    }
    if (!printer.isValid()) {
        dcvLog("Got an error from PMSessionGetCurrentPrinter (%d)",
               printer.printerState() == QPrinter::Error ? int(QPrinter::Error) : -1);
        return;
    }
    QString error;
    const QImage picture = QImage::fromData(readPictureFile(snapshotPath(), error));
    if (picture.isNull()) {
        // Replaced since it was taken (by something that is no picture, a FIFO …).
        const QString why = error.isEmpty() ? snapshotPath() + QStringLiteral(": not a picture") : error;
        dcvLog("snapshot fail:%s", why.toUtf8().constData());
        showAlertSheet(m_window, QStringLiteral("TELVO"), infoText("msg.capture_save_fail") + u'\n' + why);
        return;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        dcvLog("PMPrinterPrintWithFile returned error %d", int(printer.printerState()));
        return;
    }
    const QRectF page(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
    drawFitToPage(painter, picture, page);
    painter.end();
    if (printer.printerState() == QPrinter::Error || printer.printerState() == QPrinter::Aborted)
        dcvLog("PMPrinterPrintWithFile returned error %d", int(printer.printerState()));
}

QRectF DCVSnapshotController::fitToPage(const QSizeF& size, const QRectF& page) {
    if (size.isEmpty() || page.isEmpty())
        return {};
    const QSizeF fitted = size.scaled(page.size(), Qt::KeepAspectRatio);
    return QRectF(page.left() + (page.width() - fitted.width()) / 2,
                  page.top() + (page.height() - fitted.height()) / 2, fitted.width(), fitted.height());
}

void DCVSnapshotController::drawFitToPage(QPainter& painter, const QImage& picture, const QRectF& page) {
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(fitToPage(picture.size(), page), picture);
    painter.restore();
}

} // namespace dcv
