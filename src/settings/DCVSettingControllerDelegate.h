#pragma once

#include "settings/SettingsRecord.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

namespace dcv {

class DCVSettingController;

// What every settings tab offers the settings window. A tab edits the window's one record in
// place through the pointer it is given, reading it afresh whenever it is shown.
class DCVSettingControllerDelegate : public QWidget {
    Q_OBJECT
public:
    // Shows a one-button alert over the window that holds the tab; returns at once.
    using AlertSheet = std::function<void(QWidget* over, const QString& message, const QString& informative)>;

    explicit DCVSettingControllerDelegate(QWidget* parent = nullptr) : QWidget(parent) {}

    // Keeps the pointer and shows the record.
    virtual void setFileData(_FILEDATA* data) = 0;
    // Writes the controls back into the record; false when the input is refused (the tab has
    // said why, and may have stored some fields by then).
    virtual bool populate() = 0;
    // The message to show when a control holds something the record cannot take.
    virtual std::optional<QString> validateUserInput() = 0;
    virtual void setMainController(DCVSettingController* controller) { mainController = controller; }
    // Called just before the tab is taken down.
    virtual void onHide() {}

    void setAlertSheet(AlertSheet alertSheet) { m_alertSheet = std::move(alertSheet); }

protected:
    void showAlertSheet(const QString& message, const QString& informative) {
        if (m_alertSheet)
            m_alertSheet(this, message, informative);
    }

    _FILEDATA* fileData = nullptr;
    DCVSettingController* mainController = nullptr; // owns the tab, so it outlives it

private:
    AlertSheet m_alertSheet;
};

} // namespace dcv
