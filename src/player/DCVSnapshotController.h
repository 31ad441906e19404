#pragma once

#include <QObject>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QAction;
class QImage;
class QPainter;
class QPrinter;
class QUrl;
class QWidget;

namespace dcv {

class DCVPlaybackController;

// What the save panel of a capture is asked for.
struct SavePanelRequest {
    QString title;
    QString folder;
    QString suggestedName;
    QStringList nameFilters;
    QString defaultSuffix; // added to a name typed without an extension
    bool showHiddenFiles = true;
    bool canCreateDirectories = true;
};

// The panels and services that capture and print go through; tests script them.
struct SnapshotServices {
    // Shows a window-modal save panel over `parent`; `done` gets the chosen path, or an empty
    // one when the user cancelled. Confirming an existing file is the panel's question.
    std::function<void(QWidget* parent, const SavePanelRequest& request,
                       std::function<void(const QString&)> done)>
        savePanel;
    // Shows a window-modal print dialog over `parent` for `printer`; `done` gets
    // QDialog::Accepted or QDialog::Rejected.
    std::function<void(QWidget* parent, QPrinter& printer, std::function<void(int)> done)> printPanel;
    // Opens a file in the desktop's viewer without waiting for it.
    std::function<void(const QUrl& url)> openUrl;
    QString temporaryFolder; // where "telvo_capture.jpg" is written
    QString desktopFolder;   // where the save panel starts

    // The desktop's own panels, viewer and folders.
    static SnapshotServices system();
};

// The capture and print actions of the main window. Both take the picture the player shows
// into "telvo_capture.jpg" in the temporary folder at the recording's own size. A capture is
// saved where the user says, in the format its extension names, and opened in the desktop's
// viewer; a print goes to the printer chosen in the print dialog, fit to the page. The print
// settings (`printInfo`) are kept for the life of the controller, so paper and printer chosen
// once carry over. The actions are enabled exactly when they can do something: capture while
// the player plays, print while a recording's picture is shown (playing or paused).
class DCVSnapshotController : public QObject {
    Q_OBJECT
public:
    DCVSnapshotController(DCVPlaybackController& playback, QWidget* window, SnapshotServices services,
                          QObject* parent = nullptr);
    ~DCVSnapshotController() override;

    // Ctrl+S and Ctrl+P in the window; the head buttons follow their enabled state.
    QAction* captureAction() const { return m_captureAction; }
    QAction* printAction() const { return m_printAction; }

    void captureVideo();
    void print();
    QPrinter& loadPrintInfo();
    void printPanelDidEnd(int returnCode);

    QString snapshotPath() const;

    // Writes the user's copy of the snapshot file to `chosen`: the bytes as they are when the
    // extension names their format, else the picture converted to the format the extension
    // names; a name whose extension names no picture format gets ".jpg" added. An existing
    // file is replaced whole or not at all. Returns the path written, or an error text.
    struct Copy {
        QString path;
        QString error; // empty when written
    };
    static Copy writeSnapshotCopy(const QString& snapshot, const QString& chosen);

    // Where a picture of `size` goes on a page: as large as fits, aspect kept, centred.
    static QRectF fitToPage(const QSizeF& size, const QRectF& page);
    // Draws the picture fit to the page.
    static void drawFitToPage(QPainter& painter, const QImage& picture, const QRectF& page);

signals:
    // A capture was written to `path` (the name chosen, with ".jpg" added to a name whose
    // extension names no picture format).
    void captureSaved(const QString& path);

private:
    void updateActions();
    void saveCapture(const QString& chosen);

    DCVPlaybackController& m_playback;
    QWidget* m_window;
    SnapshotServices m_services;
    QAction* m_captureAction;
    QAction* m_printAction;
    std::unique_ptr<QPrinter> m_printInfo;
};

} // namespace dcv
