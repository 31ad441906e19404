#include "settings/SettingsControls.h"

#include "platform/DCVStrings.h"
#include "widgets/SegmentedControl.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace dcv {

QString labelText(const ItemLabel& label) {
    switch (label.kind) {
    case ItemLabel::Kind::Key:
        return infoText(label.text);
    case ItemLabel::Kind::KeyFormat:
        return infoText(label.text).arg(label.number);
    case ItemLabel::Kind::LiteralWithKey:
        return QString::fromUtf8(label.text).replace(QLatin1String("%@"), infoText(label.argumentKey));
    case ItemLabel::Kind::Literal:
        break;
    }
    return QString::fromUtf8(label.text);
}

QStringList labelTexts(std::span<const ItemLabel> labels) {
    QStringList texts;
    for (const ItemLabel& l : labels)
        texts << labelText(l);
    return texts;
}

QString messageText(const ValidationMessage& message) {
    QString text = infoText(message.key.c_str());
    for (const double n : message.arguments)
        text = text.arg(n);
    return text;
}

void setComboItems(QComboBox* combo, const QStringList& items) {
    combo->clear();
    combo->addItems(items);
}

void setMatrixCellTitles(const QList<QAbstractButton*>& cells, const QStringList& titles) {
    for (qsizetype i = 0; i < cells.size() && i < titles.size(); ++i)
        cells[i]->setText(titles[i]);
}

void fillItems(SegmentedControl* control, const SettingsFieldRule& rule, uint32_t speedUnit) {
    setSegmentLabels(control, labelTexts(settingsItemLabels(rule, speedUnit)));
}

void fillItems(QComboBox* combo, const SettingsFieldRule& rule, uint32_t speedUnit) {
    setComboItems(combo, labelTexts(settingsItemLabels(rule, speedUnit)));
}

void showField(SegmentedControl* control, const SettingsFieldRule& rule, const _FILEDATA& record) {
    control->setSelectedSegment(settingsItemForRecord(rule, record));
}

void showField(QComboBox* combo, const SettingsFieldRule& rule, const _FILEDATA& record) {
    combo->setCurrentIndex(settingsItemForRecord(rule, record));
}

void showField(QCheckBox* box, const SettingsFieldRule& rule, const _FILEDATA& record) {
    box->setChecked(settingsItemForRecord(rule, record) == 1);
}

void showField(QLineEdit* field, const SettingsFieldRule& rule, const _FILEDATA& record) {
    field->setText(QString::fromUtf8(settingsFieldText(rule, record)));
}

void storeField(const SegmentedControl* control, const SettingsFieldRule& rule, _FILEDATA& record) {
    storeSettingsItem(rule, record, control->selectedSegment());
}

void storeField(const QComboBox* combo, const SettingsFieldRule& rule, _FILEDATA& record) {
    storeSettingsItem(rule, record, combo->currentIndex());
}

void storeField(const QCheckBox* box, const SettingsFieldRule& rule, _FILEDATA& record) {
    storeSettingsItem(rule, record, box->isChecked() ? 1 : 0);
}

void storeField(const QLineEdit* field, const SettingsFieldRule& rule, _FILEDATA& record) {
    storeSettingsText(rule, record, field->text().toStdString());
}

} // namespace dcv
