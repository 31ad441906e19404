#pragma once

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
class UsbVolumes;

// The settings window: finds the camera's card, reads its config.bin into the one record it
// owns, shows one tab at a time over that record and saves it back to the card or to a file
// the user picks. Made without showing anything, it already holds the card's record.
class DCVSettingController : public QDialog {
    Q_OBJECT
public:
    struct Collaborators {
        const UsbVolumes* volumes = nullptr; // none: no card is ever found
        // Renames a volume; the error dictionary, empty on success.
        std::function<QVariantMap(const TKUSBDiskEntity& disk, const QString& label)> renameVolume;
        // Asks where to save; the callback gets the chosen path, or an empty one when cancelled.
        std::function<void(QWidget* parent, const QString& title, const QString& folder, const QString& name,
                           std::function<void(const QString&)> done)>
            saveFileDialog;
        // A folder used as the camera's card instead of a discovered one; empty for none.
        QString cardFolder;
        // The disk utility to launch; empty when none is installed.
        QString diskUtility;
        LocalTimeSource clock = systemLocalTime;
        // The read of config.bin; runs on a worker.
        std::function<bool(const std::string& path, _FILEDATA& record)> readRecord = readSettingsRecord;
        int loadingTickMs = 500;
    };

    explicit DCVSettingController(Collaborators collaborators, QWidget* parent = nullptr);
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

    void showLoading(const QString& title);
    void updateLoadingWindow(double durationSeconds);
    void hideLoading();
    bool isLoading() const { return m_loading; }
    int loadingTicks() const { return m_loadingTicks; }
    double progress() const { return m_progress; }

    void onSave();
    void onSaveDefaultSetting();
    void onFormat();
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

    static constexpr int kTabCount = 7;
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
    void showAlert(const QString& message, const QString& informative, std::function<void()> onDismiss = {});
    void saveTo(const QString& path);
    QString saveDestination() const;

    Collaborators m_collaborators;
    _FILEDATA m_FileData{};
    QString m_SettingFilePath;
    std::optional<TKUSBDiskEntity> m_selectedUSBDisk;
    QString m_strVersion;
    std::unique_ptr<Ui::DCVSettingController> m_ui;
    DCVSettingControllerDelegate* m_targetController = nullptr; // a child of the tab panel
    int m_lastSelectedTabIndex = -1;

    QDialog* m_progressPanel = nullptr;
    PMProgressIndicator* m_progressIndicator = nullptr;
    QLabel* m_progressTitleField = nullptr;
    bool m_stopLoadingWindow = false;
    bool m_loading = false;
    double m_progress = 0;
    int m_loadingTicks = 0;
    uint64_t m_readGeneration = 0; // a newer read supersedes an older one
};

} // namespace dcv
