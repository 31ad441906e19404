#pragma once

#include "platform/LatestTask.h"
#include "platform/Services.h"
#include "sdcard/DCVFormatWindowController.h"
#include "sdcard/DCVSettingForFlashDataViewController.h"
#include "sdcard/TKUSBDiskEntity.h"
#include "settings/DCVSettingControllerDelegate.h"
#include "settings/SettingsRecord.h"

#include <QDialog>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QPushButton;

namespace Ui {
class DCVSettingController;
}

namespace dcv {

class PMProgressIndicator;
class SegmentedControl;

// The settings window: finds the camera's card, reads its config.bin into the one record it
// owns, shows one tab at a time over that record and saves it back to the card or to a file
// the user picks. Made without showing anything, it already holds the card's record.
class DCVSettingController : public QDialog {
    Q_OBJECT
public:
    struct Options {
        // Renames a card's volume; the error dictionary, empty on success. By default through
        // UDisks, or fatlabel with the services' runner.
        std::function<QVariantMap(const TKUSBDiskEntity& disk, const QString& label)> renameVolume;
        // The disk utility to launch, empty for none; by default GNOME Disks when installed.
        std::optional<QString> diskUtility;
        // The read of config.bin; runs on a worker.
        std::function<bool(const std::string& path, _FILEDATA& record)> readRecord = readSettingsRecord;
        int loadingTickMs = 500;
        // Of the driving-log viewer and the format window.
        DCVSettingForFlashDataViewController::Options driveInfo;
        DCVFormatWindowController::Options format;
    };

    // Finds the card among the services' volumes (or takes their card folder) and reads its
    // record at once, without showing anything.
    explicit DCVSettingController(Services services, QWidget* parent = nullptr);
    DCVSettingController(Services services, Options options, QWidget* parent = nullptr);
    ~DCVSettingController() override;

    _FILEDATA* filedata() { return &m_FileData; }
    const QString& settingFilePath() const { return m_SettingFilePath; }
    const std::optional<TKUSBDiskEntity>& selectedUSBDisk() const { return m_selectedUSBDisk; }

    // Builds the window the first time and shows it.
    void showWindow();
    bool isWindowLoaded() const { return m_ui != nullptr; }

    bool populate();
    std::optional<QString> validateUserInput();
    void findUSBVolume();
    bool loadSettingFile();
    bool loadSettingFile2();
    void changeViewController(int index);
    // The driving-log viewer, made on first use; it knows the card's log when the card has one.
    DCVSettingForFlashDataViewController* createDriveInfoController();
    // Shows the driving-log viewer in place of the tab (once the tab lets go).
    void showDriveInfo();

    void showLoading(const QString& title);
    void updateLoadingWindow(double durationSeconds);
    void hideLoading();
    bool isLoading() const { return m_loading; }
    int loadingTicks() const { return m_loadingTicks; }
    double progress() const { return m_progress; }

    void onSave();
    void onSaveDefaultSetting();
    // Opens a new format window over the settings window.
    void onFormat();
    // The window opened last from here (the format window), kept until the next one.
    QDialog* lastDialogController() const { return m_lastDialogController.get(); }
    void onDiskUtil();
    void onCloseCmd();

    int lastSelectedTabIndex() const { return m_lastSelectedTabIndex; }
    DCVSettingControllerDelegate* targetController() const { return m_targetController; }
    SegmentedControl* functionSegmentedControl() const;
    QPushButton* saveButton() const;
    QPushButton* resetButton() const;
    QPushButton* cancelButton() const;
    QPushButton* sdcardFormatButton() const;
    QPushButton* diskUtilButton() const;
    QPushButton* driveInfoButton() const;

    static constexpr int kTabCount = 7;
    // lastSelectedTabIndex while the driving-log viewer is shown.
    static constexpr int kDriveInfoIndex = kTabCount;
    static constexpr double kLoadingSeconds = 15.0;

signals:
    // The background read has been published and the shown tab shows it.
    void settingsLoaded();

private:
    void windowDidLoad();
    void onInitDIalog();
    void updateTitle();
    void readInBackground(const std::string& path);
    void publishRecord(const _FILEDATA& record);
    DCVSettingControllerDelegate* makeTab(int index);
    // Asks the shown tab to let go (checks and stores its input, then takes it down); false when
    // it refuses, and the selector shows it again.
    bool leaveCurrentTab();
    void showInPanel(DCVSettingControllerDelegate* tab, int index);
    void showAlert(const QString& message, const QString& informative, std::function<void()> onDismiss = {});
    void saveTo(const QString& path);
    QString saveDestination() const;

    Services m_services;
    Options m_options;
    LocalTimeSource m_clock;
    LatestTask<_FILEDATA> m_read;
    _FILEDATA m_FileData{};
    QString m_SettingFilePath;
    std::optional<TKUSBDiskEntity> m_selectedUSBDisk;
    QString m_strVersion;
    std::unique_ptr<Ui::DCVSettingController> m_ui;
    DCVSettingControllerDelegate* m_targetController = nullptr;            // a child of the tab panel
    DCVSettingForFlashDataViewController* m_driveInfoController = nullptr; // kept while hidden
    std::unique_ptr<QDialog> m_lastDialogController;
    int m_lastSelectedTabIndex = -1;

    QDialog* m_progressPanel = nullptr;
    PMProgressIndicator* m_progressIndicator = nullptr;
    QLabel* m_progressTitleField = nullptr;
    bool m_stopLoadingWindow = false;
    bool m_loading = false;
    double m_progress = 0;
    int m_loadingTicks = 0;
};

// The tab a request to open the settings at start asks for: "settings" is tab 0, "settings:N"
// tab N (0 to 6); none for anything else.
std::optional<int> settingsTabToOpen(const QString& request);

} // namespace dcv
