#pragma once

// The controls of the settings tabs, bound to the rules of the fields they edit: filled with
// the rule's items, set from the record and stored back through the rule.

#include "settings/DCVSettingControllerDelegate.h"
#include "settings/DCVValidator.h"
#include "settings/SettingsRules.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <span>
#include <type_traits>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;

namespace dcv {

class SegmentedControl;

// The text of a label: a key localised, a format key filled with its number, "1(%@)" filled
// with a localised key, or the literal itself.
QString labelText(const ItemLabel& label);
QStringList labelTexts(std::span<const ItemLabel> labels);
// A message for the user, its format filled with its numbers.
QString messageText(const ValidationMessage& message);

// All items removed, then the texts added in order.
void setComboItems(QComboBox* combo, const QStringList& items);
// Cell i gets title i, for the cells there are titles for.
void setMatrixCellTitles(const QList<QAbstractButton*>& cells, const QStringList& titles);

// Items from the rule (the speeds in `speedUnit`).
void fillItems(SegmentedControl* control, const SettingsFieldRule& rule, uint32_t speedUnit = 0);
void fillItems(QComboBox* combo, const SettingsFieldRule& rule, uint32_t speedUnit = 0);

// The control shows the field's value; no item is selected for a value that has none.
void showField(SegmentedControl* control, const SettingsFieldRule& rule, const _FILEDATA& record);
void showField(QComboBox* combo, const SettingsFieldRule& rule, const _FILEDATA& record);
void showField(QCheckBox* box, const SettingsFieldRule& rule, const _FILEDATA& record);
void showField(QLineEdit* field, const SettingsFieldRule& rule, const _FILEDATA& record);

// The control's choice into the record; without a choice the field keeps its value.
void storeField(const SegmentedControl* control, const SettingsFieldRule& rule, _FILEDATA& record);
void storeField(const QComboBox* combo, const SettingsFieldRule& rule, _FILEDATA& record);
void storeField(const QCheckBox* box, const SettingsFieldRule& rule, _FILEDATA& record);
void storeField(const QLineEdit* field, const SettingsFieldRule& rule, _FILEDATA& record);

// Controls bound to the fields they edit, shown and stored together.
class FieldBindings {
public:
    // Binds the control, filling its items from the rule first where it has items.
    template <typename Control> void bind(Control* control, const SettingsFieldRule& rule) {
        if constexpr (std::is_same_v<Control, SegmentedControl> || std::is_same_v<Control, QComboBox>)
            fillItems(control, rule);
        m_show.push_back([control, &rule](const _FILEDATA& r) { showField(control, rule, r); });
        m_store.push_back([control, &rule](_FILEDATA& r) { storeField(control, rule, r); });
    }
    void show(const _FILEDATA& record) const {
        for (const auto& f : m_show)
            f(record);
    }
    void store(_FILEDATA& record) const {
        for (const auto& f : m_store)
            f(record);
    }

private:
    std::vector<std::function<void(const _FILEDATA&)>> m_show;
    std::vector<std::function<void(_FILEDATA&)>> m_store;
};

// A tab whose controls are bound to the fields they edit: it shows and stores the record
// through its bindings; a tab adds what its fields need beyond that.
class DCVSettingTab : public DCVSettingControllerDelegate {
public:
    using DCVSettingControllerDelegate::DCVSettingControllerDelegate;

    void setFileData(_FILEDATA* data) override {
        fileData = data;
        displayFileData();
    }
    virtual void displayFileData() {
        if (fileData)
            fields.show(*fileData);
    }
    bool populate() override {
        if (!fileData)
            return false;
        fields.store(*fileData);
        return true;
    }
    std::optional<QString> validateUserInput() override { return std::nullopt; }

protected:
    FieldBindings fields;
};

} // namespace dcv
