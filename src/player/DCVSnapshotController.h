#pragma once

#include "platform/Services.h"

#include <QObject>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <memory>

class QAction;
class QImage;
class QPainter;
class QPrinter;
class QWidget;

namespace dcv {

class DCVPlaybackController;
class MediaPlayer;

// The capture and print actions of the main window. Both take the picture the player shows
// into "telvo_capture.jpg" in the user's temporary folder at the recording's own size. A capture is
// saved where the user says, in the format its extension names, and opened in the desktop's
// viewer; a print goes to the printer chosen in the print dialog, fit to the page. The print
// settings (`printInfo`) are kept for the life of the controller, so paper and printer chosen
// once carry over. The actions are enabled exactly when they can do something: capture while
// the player plays, print while a recording's picture is shown (playing or paused).
class DCVSnapshotController : public QObject {
    Q_OBJECT
public:
    // The save panel, print dialog, viewer and temporary folder come from `services`.
    DCVSnapshotController(DCVPlaybackController& playback, QWidget* window, Services services,
                          QObject* parent = nullptr);
    ~DCVSnapshotController() override;

    // Ctrl+S and Ctrl+P in the window; the head buttons follow their enabled state.
    QAction* captureAction() const { return m_captureAction; }
    QAction* printAction() const { return m_printAction; }

    void captureVideo();
    void print();
    QPrinter& loadPrintInfo();
    // `returnCode` is QDialog::Accepted when the user chose to print.
    void printPanelDidEnd(int returnCode);

    QString snapshotPath() const;

    // Writes the user's copy of the snapshot file to `path`: the bytes as they are when the
    // extension names their format, else the picture converted to the format the extension
    // names; a name whose extension names no picture format is refused. An existing file is
    // replaced whole or not at all. Returns an error text, empty when the copy was written.
    static QString writeSnapshotCopy(const QString& snapshot, const QString& path);

    // The save panel starts in the Desktop folder; where a desktop has none, in the Pictures
    // folder or the home folder (a panel asked for a missing folder would open in the working
    // folder of the program instead).
    static QString firstExistingFolder(const QStringList& folders);

    // Where a picture of `size` goes on a page: as large as fits, aspect kept, centred.
    static QRectF fitToPage(const QSizeF& size, const QRectF& page);
    // Draws the picture fit to the page.
    static void drawFitToPage(QPainter& painter, const QImage& picture, const QRectF& page);

signals:
    // A capture was written to `path`.
    void captureSaved(const QString& path);

private:
    void updateActions();
    bool takeSnapshot(MediaPlayer& player);
    void saveCapture(const QString& chosen);

    DCVPlaybackController& m_playback;
    QWidget* m_window;
    Services m_services;
    QAction* m_captureAction;
    QAction* m_printAction;
    std::unique_ptr<QPrinter> m_printInfo;
};

} // namespace dcv
