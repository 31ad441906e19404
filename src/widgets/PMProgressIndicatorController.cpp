#include "widgets/PMProgressIndicatorController.h"

#include "widgets/PMProgressIndicator.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>

namespace dcv {

namespace {

// One band of the bar: its height and place above the row's bottom, and its colour. The filled
// part and the rest each take six, drawn in this order, each at opacity 0.78.
struct Band {
    int y, height;
    double red, green, blue;
};
constexpr Band kFilledBands[] = {
    {0, 11, 0.50588, 0.8, 1.0},        {3, 6, 0.41176, 0.71765, 1.0},      {4, 4, 0.36863, 0.67059, 0.99608},
    {5, 2, 0.29804, 0.58039, 0.89804}, {11, 1, 0.36863, 0.57647, 0.83529}, {12, 1, 0.23137, 0.47059, 0.72549},
};
constexpr Band kRestBands[] = {
    {0, 11, 0.94510, 0.94510, 0.94510}, {3, 6, 0.89412, 0.89412, 0.89412},
    {4, 4, 0.82353, 0.82353, 0.82353},  {5, 2, 0.78431, 0.78431, 0.78431},
    {11, 1, 0.78431, 0.82353, 0.82353}, {12, 1, 0.62745, 0.62745, 0.62745},
};
constexpr double kBandOpacity = 0.78;
constexpr int kBarHeight = 13;
// The stripes repeat every this many points, so the striped bar can move by up to that much.
constexpr int kStripePeriod = 32;

double steadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// The bands between x and x + width of a bar whose bottom lies at `bottom` (top-left origin).
void fillBands(QPainter& painter, const Band (&bands)[6], qreal x, qreal width, int bottom) {
    painter.save();
    painter.setOpacity(kBandOpacity);
    for (const Band& b : bands)
        painter.fillRect(QRectF(x, bottom - b.y - b.height, width, b.height),
                         QColor::fromRgbF(b.red, b.green, b.blue));
    painter.restore();
}

// The striped bar of an indeterminate indicator: blue bands crossed by light slanted stripes,
// one period wider than the icon so that it can be drawn shifted by up to a period.
QImage makeStripes() {
    const int width = PMProgressIndicatorController::kIconSize + kStripePeriod;
    QImage image(width, kBarHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    fillBands(painter, kFilledBands, 0, width, kBarHeight);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    for (int x = -kStripePeriod; x < width; x += kStripePeriod / 2) {
        QPainterPath stripe;
        stripe.moveTo(x, kBarHeight);
        stripe.lineTo(x + kBarHeight, 0);
        stripe.lineTo(x + kBarHeight + 4, 0);
        stripe.lineTo(x + 4, kBarHeight);
        painter.fillPath(stripe, QColor(255, 255, 255, 110));
    }
    return image;
}

QImage iconImage(const QIcon& icon) {
    const int size = PMProgressIndicatorController::kIconSize;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (!icon.isNull()) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(QRect(0, 0, size, size), icon.pixmap(QSize(size, size), 1.0));
    }
    return image;
}

} // namespace

PMProgressIndicatorController* PMProgressIndicatorController::sharedInstance() {
    static QPointer<PMProgressIndicatorController> shared;
    if (!shared && qApp)
        shared = new PMProgressIndicatorController(QGuiApplication::windowIcon(), steadySeconds, qApp);
    return shared;
}

PMProgressIndicatorController::PMProgressIndicatorController(const QIcon& icon, Clock clock, QObject* parent)
    : QObject(parent), m_icon(icon), m_iconCopy(iconImage(icon)), m_stripes(makeStripes()),
      m_clock(clock ? std::move(clock) : Clock(steadySeconds)), m_redrawTimer(new QTimer(this)),
      m_lastStep(m_clock()) {
    m_redrawTimer->setSingleShot(true);
    connect(m_redrawTimer, &QTimer::timeout, this, &PMProgressIndicatorController::drawProgressIndicators);
}

PMProgressIndicatorController::~PMProgressIndicatorController() = default;

bool PMProgressIndicatorController::contains(const PMProgressIndicator* indicator) const {
    for (const auto& i : m_indicators)
        if (i == indicator)
            return true;
    return false;
}

void PMProgressIndicatorController::addProgressIndicator(PMProgressIndicator* indicator) {
    if (!contains(indicator))
        m_indicators.append(indicator);
    setNeedsDisplay(kRedrawDelayMs);
}

void PMProgressIndicatorController::removeProgressIndicator(PMProgressIndicator* indicator) {
    m_indicators.removeIf(
        [indicator](const QPointer<PMProgressIndicator>& i) { return !i || i == indicator; });
    setNeedsDisplay(kRedrawDelayMs);
}

void PMProgressIndicatorController::setNeedsDisplay(int delayMs) {
    // One redraw pending at a time; a request keeps an earlier one, so that values set faster
    // than the delay cannot put the redraw off for ever.
    if (!m_redrawTimer->isActive() || m_redrawTimer->remainingTime() > delayMs)
        m_redrawTimer->start(delayMs);
}

bool PMProgressIndicatorController::isRedrawPending() const {
    return m_redrawTimer->isActive();
}

void PMProgressIndicatorController::restoreIcon() {
    m_composed = QImage();
    QGuiApplication::setWindowIcon(m_icon);
    emit iconChanged();
}

void PMProgressIndicatorController::drawProgressIndicators() {
    m_redrawTimer->stop();
    m_indicators.removeIf([](const QPointer<PMProgressIndicator>& i) { return i.isNull(); });
    if (m_indicators.isEmpty()) {
        restoreIcon();
        return;
    }
    QImage icon = m_iconCopy;
    bool animating = false;
    {
        QPainter painter(&icon);
        for (int row = 0; row < m_indicators.size(); ++row) {
            const PMProgressIndicator& indicator = *m_indicators[row];
            if (indicator.isIndeterminate()) {
                drawStripes(painter, row);
                animating = true;
            } else {
                drawBar(painter, indicator, row);
            }
        }
    }
    if (animating)
        setNeedsDisplay(kRedrawDelayMs);
    m_composed = icon;
    QGuiApplication::setWindowIcon(QIcon(QPixmap::fromImage(icon)));
    emit iconChanged();
}

void PMProgressIndicatorController::drawBar(QPainter& painter, const PMProgressIndicator& indicator,
                                            int row) {
    const double span = indicator.maxValue() - indicator.minValue();
    const float w =
        span > 0
            ? float(std::clamp((indicator.doubleValue() - indicator.minValue()) / span, 0.0, 1.0) * kIconSize)
            : 0.0f;
    const int bottom = kIconSize - row * kRowHeight;
    fillBands(painter, kFilledBands, 0, w, bottom);
    fillBands(painter, kRestBands, w, kIconSize - w, bottom);
}

void PMProgressIndicatorController::drawStripes(QPainter& painter, int row) {
    const double now = m_clock();
    double seconds = now - m_lastStep;
    seconds -= std::floor(seconds);
    m_stripeOffset = std::fmod(m_stripeOffset - seconds * 1.5 * kStripePeriod, double(kStripePeriod));
    if (m_stripeOffset < 0)
        m_stripeOffset += kStripePeriod;
    m_lastStep = now;
    const int bottom = kIconSize - row * kRowHeight;
    painter.drawImage(QPointF(-m_stripeOffset, bottom - kBarHeight), m_stripes);
}

} // namespace dcv
