#pragma once

#include <QLineEdit>

namespace dcv {

// The car-number field: when editing ends, its text is cut down to the ASCII letters and
// digits it holds, at most 8 of them.
class DCVCarNumberTextField : public QLineEdit {
    Q_OBJECT
public:
    explicit DCVCarNumberTextField(QWidget* parent = nullptr);
    void textDidEndEditing();
};

} // namespace dcv
