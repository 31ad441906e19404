#pragma once

#include "platform/Services.h"

#include <QDate>
#include <QDialog>
#include <QString>
#include <QTime>
#include <memory>
#include <optional>

namespace Ui {
class DCVTimeSetupController;
}

namespace dcv {

// The clock-setting window: the user picks a date and a time, and the window writes them as
// the camera's clock file, timeset.cfg. It writes onto the card when the card already carries
// that file, otherwise wherever the user chooses in a save panel.
//
// The date and the time are kept apart (a calendar date and a time of day) and written as they
// were picked: never combined into a moment of the local time zone, where a daylight-saving gap
// would shift them.
class DCVTimeSetupController : public QDialog {
    Q_OBJECT
public:
    struct Options {
        // How long the "today" check box shows itself ticked.
        int todayResetMs = 200;
    };
    explicit DCVTimeSetupController(Services services, QWidget* parent = nullptr);
    DCVTimeSetupController(Services services, Options options, QWidget* parent = nullptr);
    ~DCVTimeSetupController() override;

    // Shows the window, window-modal over its parent.
    void showWindow();

    // The card's timeset.cfg; empty when no card carries one.
    const QString& settingFilePath() const { return m_SettingFilePath; }
    QDate selectedDate() const { return m_selectedDate; }
    QTime selectedTime() const { return m_selectedTime; }

    void loadSettingFile();
    void daySelectedFromPicker();
    void timeSelectedFromClickTimePicker();
    void timeSelectedFromPicker();
    void nowDayChecked();
    void onSaveConfigFile();
    void onCloseCmd();
    // Writes the clock file; why it could not, or none when it was written.
    std::optional<QString> doWriteConfigFile(const QString& path) const;

signals:
    // The file has been written (or could not be); the alert saying so is up.
    void saveFinished(bool saved);

private:
    void onInitDIalog();
    void showSelectedDate();
    // The date and time of the services' clock, on its wall clock.
    QDateTime now() const;
    void saveTo(const QString& path);

    Services m_services;
    Options m_options;
    std::unique_ptr<Ui::DCVTimeSetupController> m_ui;
    QString m_SettingFilePath;
    QDate m_selectedDate;
    QTime m_selectedTime;
};

} // namespace dcv
