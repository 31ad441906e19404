#pragma once

#include "platform/LatestTask.h"
#include "platform/Services.h"
#include "sdcard/FormatRun.h"
#include "sdcard/TKUSBDiskEntity.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QMessageBox;
class QTimer;

namespace Ui {
class DCVFormatWindowController;
}

namespace dcv {

// The format window: lists the card readers' cards, and formats the chosen one as the camera
// wants it (FAT32, label TELVO), keeping its config.bin. The user confirms once, naming the
// card, before anything is erased; while a run is on, nothing in the window can start another
// one and the window does not close. The disk search and the run go on a worker; their status
// lines reach the window in order, and the window never waits for the worker.
class DCVFormatWindowController : public QDialog {
    Q_OBJECT
public:
    struct Options {
        // The progress display's tick.
        int progressTickMs = 300;
        FormatOptions format;
        FormatHooks hooks;
    };
    explicit DCVFormatWindowController(Services services, QWidget* parent = nullptr);
    DCVFormatWindowController(Services services, Options options, QWidget* parent = nullptr);
    ~DCVFormatWindowController() override;

    // Shows the window, window-modal over its parent.
    void showWindow();

    // The disks of the last search, in the combo's order.
    const std::vector<TKUSBDiskEntity>& usbDiskArray() const { return m_usbDiskArray; }
    // Selects the disk of that device; none, and the selection unchanged, when it is not listed.
    std::optional<TKUSBDiskEntity> selectUSBByDevFile(const std::string& deviceName);
    // The disk selected in the combo; none when no item is.
    std::optional<TKUSBDiskEntity> selectedUSBDisk() const;
    // Searches the disks on a worker and refills the combo; then `completion`, on the main thread.
    void loadUSBVolumes(std::function<void()> completion = {});
    void updateSelectedDiskInfo();
    void changeDisk() { updateSelectedDiskInfo(); }

    // The format button: checks the selection, then asks before erasing.
    void onFormat();
    // Starts the run on the disk (asked for already).
    void doFormat(const TKUSBDiskEntity& disk, UnkeptSettings unkept = UnkeptSettings::Stop);
    // Closes the window, unless a run is on.
    void cancel();
    bool isFormatting() const { return m_formatting; }
    bool isSearching() const { return m_searching; }

    void showProgressBar(const QString& status);
    void updateProgressBar(double totalSeconds);
    void hideProgressBar();
    bool isProgressShown() const { return !m_stopProgressBar; }
    double progress() const { return m_progress; }
    QString statusText() const;

signals:
    // The status line shows a new text.
    void statusChanged(const QString& status);
    // A disk search has refilled the combo.
    void disksLoaded();
    // A run has ended and the window has said how (an alert or a question is up).
    void formatFinished(dcv::FormatResult result);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void windowDidLoad();
    void setStatus(const QString& status);
    void updateButtons();
    void confirmErase(const TKUSBDiskEntity& disk);
    void formatDidEnd(const FormatOutcome& outcome, UnkeptSettings unkept);
    void askToGiveUpSettings(const TKUSBDiskEntity& disk, const FormatOutcome& outcome);
    // A question over the window whose destructive choice is `act`; Cancel is the default.
    QMessageBox* ask(const char* name, const QString& text, const QString& informative, const QString& act,
                     std::function<void()> onAct);
    void showAlert(const QString& message, const QString& informative, std::function<void()> onDismiss = {});

    Services m_services;
    Options m_options;
    std::unique_ptr<Ui::DCVFormatWindowController> m_ui;
    std::vector<TKUSBDiskEntity> m_usbDiskArray;
    QTimer* m_progressTimer = nullptr;
    bool m_stopProgressBar = true;
    double m_progress = 0;
    double m_progressTotal = 1000.0;
    bool m_searchShowedProgress = false;
    bool m_searching = false;
    bool m_formatting = false;
    bool m_asking = false;
    // Last, so that they go first: a run still going is waited for before the window goes.
    LatestTask<std::vector<TKUSBDiskEntity>> m_search;
    LatestTask<FormatOutcome> m_format;
};

} // namespace dcv
