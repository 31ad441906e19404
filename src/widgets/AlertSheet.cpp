#include "widgets/AlertSheet.h"

#include <QMessageBox>

namespace dcv {

QMessageBox* showAlertSheet(QWidget* parent, const QString& message, const QString& informative,
                            std::function<void()> onDismiss) {
    auto* box = new QMessageBox(QMessageBox::Warning, message, message, QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("alertSheet"));
    box->setInformativeText(informative);
    box->setWindowModality(Qt::WindowModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QDialog::finished, box, [onDismiss = std::move(onDismiss)] {
        if (onDismiss)
            onDismiss();
    });
    box->open();
    return box;
}

} // namespace dcv
