#pragma once

#include <QString>
#include <functional>

class QMessageBox;
class QWidget;

namespace dcv {

// The one alert of every window: a warning with one "OK" button over `parent`, window-modal.
// Returns at once with the box shown; `onDismiss` runs when the user has dismissed it, and the
// box deletes itself then.
QMessageBox* showAlertSheet(QWidget* parent, const QString& message, const QString& informative,
                            std::function<void()> onDismiss = {});

} // namespace dcv
