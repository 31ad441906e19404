#pragma once

#include <QTime>
#include <QWidget>

namespace dcv {

// A time of day as an analog clock face. The user sets it with the mouse: pressing or dragging
// in the outer ring turns the minute hand, nearer the centre the hour hand (the half of the
// day and the seconds stay). The arrow keys step the minutes (up/down: the hours).
// `timeEdited` is the user's action only; setTime from code is silent, so two pickers kept in
// step through each other cannot set each other off.
class ClockFacePicker : public QWidget {
    Q_OBJECT
public:
    explicit ClockFacePicker(QWidget* parent = nullptr);

    QTime time() const { return m_time; }
    void setTime(const QTime& time);

    // Where on the face the tip of the minute hand (or of the hour hand) points for `time`, in
    // the widget's coordinates: for tests that click a time.
    QPoint minuteHandTip(const QTime& time) const;
    QPoint hourHandTip(const QTime& time) const;

    QSize sizeHint() const override { return {160, 160}; }
    QSize minimumSizeHint() const override { return {96, 96}; }

signals:
    void timeEdited(const QTime& time);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class Hand { Hour, Minute };
    QPointF centre() const;
    double radius() const;
    QPoint tip(double degrees, double length) const;
    void setFromPoint(const QPointF& point);
    void edit(const QTime& time);

    QTime m_time{0, 0, 0};
    Hand m_dragged = Hand::Minute;
};

} // namespace dcv
