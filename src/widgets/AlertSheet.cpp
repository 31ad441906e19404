#include "widgets/AlertSheet.h"

#include <QMessageBox>

namespace dcv {

QMessageBox* showAlertSheet(QWidget* parent, const QString& message, const QString& informative,
                            std::function<void()> onDismiss) {
    auto* box = new QMessageBox(QMessageBox::Warning, message, message, QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("alertSheet"));
    box->setInformativeText(informative);
    box->setWindowModality(Qt::WindowModal);
    // A dialog that is answered is hidden, not closed: it goes away here.
    QObject::connect(box, &QDialog::finished, box, [box, onDismiss = std::move(onDismiss)] {
        box->deleteLater();
        if (onDismiss)
            onDismiss();
    });
    box->open();
    return box;
}

} // namespace dcv
