#include "widgets/ClockFacePicker.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QtMath>
#include <cmath>

namespace dcv {

namespace {

// The outer part of the face (from this fraction of the radius) sets the minutes.
constexpr double kMinuteRing = 0.55;
constexpr double kMinuteHand = 0.78, kHourHand = 0.5;

double minuteDegrees(const QTime& t) {
    return (t.minute() + t.second() / 60.0) * 6.0;
}
double hourDegrees(const QTime& t) {
    return ((t.hour() % 12) + t.minute() / 60.0) * 30.0;
}

} // namespace

ClockFacePicker::ClockFacePicker(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void ClockFacePicker::setTime(const QTime& time) {
    if (!time.isValid() || time == m_time)
        return;
    m_time = time;
    update();
}

QPointF ClockFacePicker::centre() const {
    return QRectF(rect()).center();
}

double ClockFacePicker::radius() const {
    return std::min(width(), height()) / 2.0 - 4.0;
}

QPoint ClockFacePicker::tip(double degrees, double length) const {
    const double a = qDegreesToRadians(degrees);
    const QPointF c = centre();
    return QPointF(c.x() + std::sin(a) * length * radius(), c.y() - std::cos(a) * length * radius())
        .toPoint();
}

QPoint ClockFacePicker::minuteHandTip(const QTime& time) const {
    return tip(time.minute() * 6.0, kMinuteHand);
}

QPoint ClockFacePicker::hourHandTip(const QTime& time) const {
    return tip((time.hour() % 12) * 30.0, kHourHand * 0.9);
}

void ClockFacePicker::edit(const QTime& time) {
    if (!time.isValid() || time == m_time)
        return;
    m_time = time;
    update();
    emit timeEdited(m_time);
}

void ClockFacePicker::setFromPoint(const QPointF& point) {
    const QPointF d = point - centre();
    if (std::hypot(d.x(), d.y()) < 1.0)
        return;
    // Clockwise from twelve o'clock.
    double degrees = qRadiansToDegrees(std::atan2(d.x(), -d.y()));
    if (degrees < 0)
        degrees += 360.0;
    if (m_dragged == Hand::Minute) {
        const int minute = int(std::lround(degrees / 6.0)) % 60;
        edit(QTime(m_time.hour(), minute, m_time.second()));
    } else {
        const int hour = int(std::lround(degrees / 30.0)) % 12 + (m_time.hour() >= 12 ? 12 : 0);
        edit(QTime(hour, m_time.minute(), m_time.second()));
    }
}

void ClockFacePicker::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPointF d = event->position() - centre();
    m_dragged = std::hypot(d.x(), d.y()) >= kMinuteRing * radius() ? Hand::Minute : Hand::Hour;
    setFromPoint(event->position());
}

void ClockFacePicker::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton)
        setFromPoint(event->position());
}

void ClockFacePicker::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Right:
        edit(m_time.addSecs(60));
        break;
    case Qt::Key_Left:
        edit(m_time.addSecs(-60));
        break;
    case Qt::Key_Up:
        edit(m_time.addSecs(3600));
        break;
    case Qt::Key_Down:
        edit(m_time.addSecs(-3600));
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void ClockFacePicker::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c = centre();
    const double r = radius();
    const QPalette& pal = palette();
    const QColor accent = pal.color(QPalette::Highlight);

    p.setPen(QPen(hasFocus() ? accent : pal.color(QPalette::Mid), 1.5));
    p.setBrush(pal.color(QPalette::Base));
    p.drawEllipse(c, r, r);

    // Ticks: long ones at the hours.
    for (int i = 0; i < 60; ++i) {
        const bool hour = i % 5 == 0;
        p.setPen(QPen(pal.color(hour ? QPalette::Text : QPalette::Mid), hour ? 2.0 : 1.0));
        const double a = qDegreesToRadians(i * 6.0);
        const double from = r * (hour ? 0.86 : 0.91), to = r * 0.96;
        p.drawLine(QPointF(c.x() + std::sin(a) * from, c.y() - std::cos(a) * from),
                   QPointF(c.x() + std::sin(a) * to, c.y() - std::cos(a) * to));
    }
    QFont f = font();
    f.setPixelSize(std::max(8, int(r * 0.16)));
    p.setFont(f);
    p.setPen(pal.color(QPalette::Text));
    for (int h = 1; h <= 12; ++h) {
        const double a = qDegreesToRadians(h * 30.0);
        const QPointF at(c.x() + std::sin(a) * r * 0.7, c.y() - std::cos(a) * r * 0.7);
        p.drawText(QRectF(at.x() - r * 0.15, at.y() - r * 0.12, r * 0.3, r * 0.24), Qt::AlignCenter,
                   QString::number(h));
    }
    p.setPen(pal.color(QPalette::PlaceholderText));
    p.drawText(QRectF(c.x() - r * 0.3, c.y() + r * 0.22, r * 0.6, r * 0.2), Qt::AlignCenter,
               m_time.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));

    const auto hand = [&](double degrees, double length, double width, const QColor& colour) {
        const double a = qDegreesToRadians(degrees);
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c, QPointF(c.x() + std::sin(a) * length * r, c.y() - std::cos(a) * length * r));
    };
    hand(hourDegrees(m_time), kHourHand, 4.0, pal.color(QPalette::Text));
    hand(minuteDegrees(m_time), kMinuteHand, 2.5, pal.color(QPalette::Text));
    hand(m_time.second() * 6.0, 0.85, 1.0, accent);
    p.setPen(Qt::NoPen);
    p.setBrush(accent);
    p.drawEllipse(c, 3.0, 3.0);
}

} // namespace dcv
