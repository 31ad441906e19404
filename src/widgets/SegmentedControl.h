#pragma once

#include <QStringList>
#include <QWidget>

class QButtonGroup;
class QHBoxLayout;
class QToolButton;

namespace dcv {

// A row of segments of which at most one is selected, like a row of radio buttons drawn as
// one joined control. `segmentClicked` is the user's action; selecting from code is silent.
class SegmentedControl : public QWidget {
    Q_OBJECT
public:
    explicit SegmentedControl(QWidget* parent = nullptr);

    int segmentCount() const;
    void setSegmentCount(int count);
    QString labelForSegment(int segment) const;
    void setLabel(const QString& label, int segment);

    // -1 when no segment is selected.
    int selectedSegment() const;
    // Selects the segment; -1 or an index the control does not have selects none.
    void setSelectedSegment(int segment);

    // The button of a segment, for tests that click it; null for an index out of range.
    QToolButton* segmentButton(int segment) const;

signals:
    void segmentClicked(int segment);

private:
    QHBoxLayout* m_layout;
    QButtonGroup* m_group;
};

// Sets the count to the number of labels and labels segment i with label i.
void setSegmentLabels(SegmentedControl* control, const QStringList& labels);

} // namespace dcv
