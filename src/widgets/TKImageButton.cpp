#include "widgets/TKImageButton.h"

#include <QEvent>
#include <QPainter>

namespace dcv {

TKImageButton::TKImageButton(QWidget* parent) : QAbstractButton(parent) {
    setUp();
}

TKImageButton::TKImageButton(const QString& imageName, QWidget* parent) : QAbstractButton(parent) {
    setImageName(imageName);
}

TKImageButton::~TKImageButton() = default;

void TKImageButton::setImageName(const QString& name) {
    m_image = TKImage::imageNamed(name);
    setUp();
}

void TKImageButton::setImage(const TKImage& image) {
    m_image = image;
    setUp();
}

void TKImageButton::setUp() {
    // Momentary, borderless, image only: the images carry every state.
    setCheckable(false);
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
    m_rolloverImage = buttonImageNameWithSuffix(QStringLiteral("_f"));
    m_pressedImage = buttonImageNameWithSuffix(QStringLiteral("_p"));
    m_activeImage = m_image;
    m_inactiveImage = m_image;
    updateTrackingAreas();
    updateRollOverImage();
    updateGeometry();
}

TKImage TKImageButton::buttonImageNameWithSuffix(const QString& suffix) const {
    const QString name = m_image.name();
    if (name.size() < 2)
        return {};
    return TKImage::imageNamed(name.left(name.size() - 2) + suffix);
}

TKImage TKImageButton::displayedImage() const {
    if (isDown() && !m_pressedImage.isNull())
        return m_pressedImage;
    return m_shown.isNull() ? m_image : m_shown;
}

void TKImageButton::setNumberOfCaptures(qint64 n) {
    if (n < 0)
        return;
    m_numberOfCaptures = n;
}

void TKImageButton::resetMouseCaptures() {
    setNumberOfCaptures(0);
    updateRollOverImage();
}

void TKImageButton::updateTrackingAreas() {
    m_mouseTrackingArea = rect().adjusted(-4, -4, 4, 4);
}

void TKImageButton::mouseEntered() {
    setNumberOfCaptures(m_numberOfCaptures + 1);
    updateRollOverImage();
}

void TKImageButton::mouseExited() {
    setNumberOfCaptures(m_numberOfCaptures - 1);
    updateRollOverImage();
}

void TKImageButton::updateRollOverImage() {
    if (shouldDisplayRollOver() && isEnabled()) {
        m_shown = m_rolloverImage;
        update();
    } else {
        updateImage();
    }
}

void TKImageButton::updateImage() {
    updateActiveImage();
}

void TKImageButton::updateActiveImage() {
    m_shown = isEnabled() ? m_activeImage : m_inactiveImage;
    update();
}

void TKImageButton::setCell(std::unique_ptr<TKImageButtonCell> cell) {
    m_cell = std::move(cell);
    updateGeometry();
    update();
}

QSize TKImageButton::sizeHint() const {
    QSize size = m_image.isNull() ? QSize(0, 0) : m_image.size();
    if (!text().isEmpty() || m_cell) {
        const QSize textSize(fontMetrics().horizontalAdvance(text()) + 20, 24);
        size = size.expandedTo(textSize);
    }
    return size;
}

void TKImageButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF bounds = rect();
    if (m_cell) {
        m_cell->drawBezelWithFrame(painter, bounds);
        m_cell->highlight(isDown(), painter, bounds);
    }
    const TKImage shown = displayedImage();
    // The skins have no disabled images: a faded one tells the user the button does nothing.
    if (!isEnabled())
        painter.setOpacity(0.35);
    if (!shown.isNull()) {
        const QSizeF s = shown.size();
        shown.draw(painter, QRectF(bounds.center() - QPointF(s.width() / 2, s.height() / 2), s));
    }
    if (!text().isEmpty()) {
        painter.setPen(
            palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        painter.drawText(bounds, Qt::AlignCenter, text());
    }
}

void TKImageButton::enterEvent(QEnterEvent* event) {
    mouseEntered();
    QAbstractButton::enterEvent(event);
}

void TKImageButton::leaveEvent(QEvent* event) {
    mouseExited();
    QAbstractButton::leaveEvent(event);
}

void TKImageButton::resizeEvent(QResizeEvent* event) {
    updateTrackingAreas();
    QAbstractButton::resizeEvent(event);
}

void TKImageButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange)
        updateRollOverImage();
    QAbstractButton::changeEvent(event);
}

bool TKImageButton::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

} // namespace dcv
