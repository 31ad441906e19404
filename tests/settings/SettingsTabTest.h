#pragma once

// Driving the settings tabs through their real widgets: segments and cells clicked, lists
// chosen with the keyboard, texts typed; alerts recorded instead of shown.

#include "settings/DCVSettingControllerDelegate.h"
#include "settings/SettingsRecord.h"
#include "support/Views.h"
#include "widgets/SegmentedControl.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QStringList>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>

namespace dcv::test {

// The default record with a fixed Wi-Fi name, so two of them are equal.
inline _FILEDATA defaultRecord() {
    return defaultSettingsRecord([] { return LocalTime{7, 5, 0}; });
}

// The default record with some fields changed.
inline _FILEDATA defaultRecordWith(const std::function<void(_FILEDATA&)>& edit) {
    _FILEDATA r = defaultRecord();
    if (edit)
        edit(r);
    return r;
}

template <typename T> T* child(const QWidget* parent, const char* name) {
    T* c = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << "no " << name;
    return c;
}

inline void clickSegment(const QWidget* tab, const char* control, int segment) {
    QToolButton* button = child<SegmentedControl>(tab, control)->segmentButton(segment);
    ASSERT_NE(button, nullptr) << control << " has no segment " << segment;
    QTest::mouseClick(button, Qt::LeftButton);
}

// Clicks a check box or radio button on its indicator (a wide button takes clicks only on its
// indicator and text).
inline void clickIndicator(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

inline int selectedSegment(const QWidget* tab, const char* control) {
    return child<SegmentedControl>(tab, control)->selectedSegment();
}

// Chooses an item as a user does with the keyboard: to the top, then down.
inline void chooseItem(const QWidget* tab, const char* combo, int index) {
    auto* c = child<QComboBox>(tab, combo);
    c->setFocus();
    QTest::keyClick(c, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(c, Qt::Key_Down);
    ASSERT_EQ(c->currentIndex(), index) << combo;
}

// Replaces the text of a field by typing, then ends editing with Return.
inline void typeInto(const QWidget* tab, const char* field, const QString& text) {
    auto* f = child<QLineEdit>(tab, field);
    f->setFocus();
    f->selectAll();
    QTest::keyClick(f, Qt::Key_Delete);
    QTest::keyClicks(f, text);
    QTest::keyClick(f, Qt::Key_Return);
}

// "equal", or the fields in which the records differ.
inline std::string bytesDiff(const _FILEDATA& actual, const _FILEDATA& expected) {
    const auto a = settingsRecordBytes(actual), e = settingsRecordBytes(expected);
    std::string out;
    for (const SettingsFieldDescriptor& f : kSettingsFields)
        for (size_t i = f.offset; i < size_t(f.offset) + f.size; ++i)
            if (a[i] != e[i]) {
                out += std::string(f.name) + " ";
                break;
            }
    return out.empty() ? "equal" : "differ in " + out;
}

// A tab in a shown window showing `record` (the default one, with `edit` applied), its alerts
// recorded.
template <typename Tab> struct ShownTab {
    explicit ShownTab(const std::function<void(_FILEDATA&)>& edit = {}) : record(defaultRecordWith(edit)) {
        tab.setAlertSheet([this](QWidget*, const QString& m, const QString& i) { alerts.push_back({m, i}); });
        tab.resize(860, 480);
        tab.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&tab));
        tab.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&tab));
        tab.setFileData(&record);
    }
    // Populates the tab: "equal" when its record is then the default one with `edit` applied.
    std::string storedDiff(const std::function<void(_FILEDATA&)>& edit = {}) {
        return tab.populate() ? bytesDiff(record, defaultRecordWith(edit)) : "refused";
    }
    _FILEDATA record; // outlives the tab that points at it
    Tab tab{nullptr}; // no parent (or no record yet): given its record by setFileData
    std::vector<Alert> alerts;
};

} // namespace dcv::test
