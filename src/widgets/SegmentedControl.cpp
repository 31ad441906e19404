#include "widgets/SegmentedControl.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QToolButton>

namespace dcv {
namespace {

// Joined segments in the application's palette; the selected one in its highlight colour.
const char* const kStyleSheet = R"(
QToolButton { border: 1px solid rgba(255, 255, 255, 0.14); border-left: none; background: palette(button);
              color: palette(button-text); padding: 3px 6px; }
QToolButton[segment="first"], QToolButton[segment="only"] {
    border-left: 1px solid rgba(255, 255, 255, 0.14); border-top-left-radius: 4px; border-bottom-left-radius: 4px; }
QToolButton[segment="last"], QToolButton[segment="only"] {
    border-top-right-radius: 4px; border-bottom-right-radius: 4px; }
QToolButton:hover { border-color: palette(highlight); }
QToolButton:checked { background: palette(highlight); color: palette(highlighted-text); font-weight: bold; }
QToolButton:disabled { color: rgba(255, 255, 255, 0.3); }
QToolButton:checked:disabled { background: rgba(255, 255, 255, 0.22); color: palette(window); }
)";

} // namespace

SegmentedControl::SegmentedControl(QWidget* parent)
    : QWidget(parent), m_layout(new QHBoxLayout(this)), m_group(new QButtonGroup(this)) {
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_group->setExclusive(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setStyleSheet(QString::fromLatin1(kStyleSheet));
    connect(m_group, &QButtonGroup::idClicked, this, &SegmentedControl::segmentClicked);
}

int SegmentedControl::segmentCount() const {
    return int(m_group->buttons().size());
}

void SegmentedControl::setSegmentCount(int count) {
    count = std::max(count, 0);
    while (segmentCount() > count) {
        QAbstractButton* last = m_group->button(segmentCount() - 1);
        m_group->removeButton(last);
        delete last;
    }
    while (segmentCount() < count) {
        const int index = segmentCount();
        auto* button = new QToolButton(this);
        button->setCheckable(true);
        button->setAutoRaise(false);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        button->setObjectName(QStringLiteral("segment%1").arg(index));
        m_group->addButton(button, index);
        m_layout->addWidget(button);
    }
    // The first and last segments get rounded ends in the style sheet.
    for (int i = 0; i < count; ++i) {
        const char* position = count == 1 ? "only" : i == 0 ? "first" : i == count - 1 ? "last" : "middle";
        m_group->button(i)->setProperty("segment", QString::fromLatin1(position));
    }
}

QString SegmentedControl::labelForSegment(int segment) const {
    const QAbstractButton* b = m_group->button(segment);
    return b ? b->text() : QString();
}

void SegmentedControl::setLabel(const QString& label, int segment) {
    if (QAbstractButton* b = m_group->button(segment))
        b->setText(label);
}

int SegmentedControl::selectedSegment() const {
    return m_group->checkedId();
}

void SegmentedControl::setSelectedSegment(int segment) {
    if (QAbstractButton* b = m_group->button(segment)) {
        b->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked; let go of it for a moment to clear it.
    if (QAbstractButton* checked = m_group->checkedButton()) {
        m_group->setExclusive(false);
        checked->setChecked(false);
        m_group->setExclusive(true);
    }
}

QToolButton* SegmentedControl::segmentButton(int segment) const {
    return qobject_cast<QToolButton*>(m_group->button(segment));
}

void setSegmentLabels(SegmentedControl* control, const QStringList& labels) {
    control->setSegmentCount(int(labels.size()));
    for (int i = 0; i < labels.size(); ++i)
        control->setLabel(labels[i], i);
}

} // namespace dcv
