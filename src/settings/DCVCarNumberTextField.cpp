#include "settings/DCVCarNumberTextField.h"

#include "settings/DCVValidator.h"

namespace dcv {

DCVCarNumberTextField::DCVCarNumberTextField(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::editingFinished, this, &DCVCarNumberTextField::textDidEndEditing);
}

void DCVCarNumberTextField::textDidEndEditing() {
    const QString filtered = QString::fromStdString(filterCarNumber(text().toStdString()));
    if (filtered != text())
        setText(filtered);
}

} // namespace dcv
