#include "widgets/VMMultiHandleSlider.h"

#include "widgets/SliderGeometry.h"

#include <QMouseEvent>
#include <QPainter>

namespace dcv {
namespace {

slider::Rect rectOf(const QWidget* view) {
    const QRect g = view->geometry();
    return {float(g.x()), float(g.y()), float(g.width()), float(g.height())};
}

// The bar the handles run on.
class SliderBarView : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(palette().color(QPalette::Mid));
        p.drawRoundedRect(QRectF(rect()), 2, 2);
    }
};

// A handle's image at its own size.
class SliderHandleView : public QWidget {
public:
    SliderHandleView(const TKImage& image, QWidget* parent) : QWidget(parent), m_image(image) {
        setAttribute(Qt::WA_TransparentForMouseEvents); // the slider does the dragging
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        m_image.draw(p, QRectF(rect()));
    }

private:
    TKImage m_image;
};

} // namespace

VMMultiHandleSlider::VMMultiHandleSlider(QWidget* parent) : QWidget(parent), m_bar(new SliderBarView(this)) {
    m_bar->setProperty("tag", slider::kBarTag);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

VMMultiHandleSlider::~VMMultiHandleSlider() = default;

VMSliderHandle* VMMultiHandleSlider::handle(const QString& name) const {
    for (const auto& h : m_handles)
        if (h->name == name)
            return h.get();
    return nullptr;
}

void VMMultiHandleSlider::addHandle(const QString& name, const TKImage& image, float initialRatio,
                                    VMSliderHandle::ValueBlock valueBlock,
                                    VMSliderHandle::ValueBlock invValueBlock) {
    auto h = std::make_unique<VMSliderHandle>();
    h->name = name;
    h->handleImage = image;
    h->curRatio = initialRatio;
    h->setValueBlock(std::move(valueBlock));
    h->setInvValueBlock(std::move(invValueBlock));
    auto* view = new SliderHandleView(image, this);
    view->setProperty("tag", slider::kHandleTag);
    view->setObjectName(name);
    view->show();
    h->handleView = view;
    m_values[name] = h->curValue();
    placeHandle(*h);
    m_handles.push_back(std::move(h));
    update();
}

void VMMultiHandleSlider::placeHandle(const VMSliderHandle& h) {
    if (!h.handleView)
        return;
    const slider::Rect f = slider::handleFrame(h.curRatio, float(width()), float(height()));
    // Positions are whole pixels on screen; the ratio keeps the exact value.
    h.handleView->setGeometry(qRound(f.x), qRound(f.y), int(f.width), int(f.height));
}

void VMMultiHandleSlider::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const slider::Rect bar = slider::barFrame(float(width()), float(height()));
    m_bar->setGeometry(qRound(bar.x), qRound(bar.y), qRound(bar.width), int(bar.height));
    for (const auto& h : m_handles)
        placeHandle(*h);
}

void VMMultiHandleSlider::setValue(const QString& name, float value) {
    VMSliderHandle* h = handle(name);
    if (!h)
        return;
    const float ratio = h->ratioForValue(value);
    if (!slider::ratioChanged(ratio, h->curRatio))
        return;
    h->curRatio = ratio;
    placeHandle(*h);
    m_values[name] = h->curValue();
    if (m_valueChanged)
        m_valueChanged(m_values);
}

void VMMultiHandleSlider::mousePressEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    m_activeHandle = nullptr;
    for (const auto& h : m_handles) {
        if (h->handleView && rectOf(h->handleView).contains(float(p.x()), float(p.y()))) {
            m_activeHandle = h.get();
            break;
        }
    }
    if (!m_activeHandle)
        return;
    std::vector<slider::Rect> frames;
    size_t index = 0;
    for (size_t i = 0; i < m_handles.size(); ++i) {
        frames.push_back(slider::handleFrame(m_handles[i]->curRatio, float(width()), float(height())));
        if (m_handles[i].get() == m_activeHandle)
            index = i;
    }
    const slider::Boundary b = slider::boundaryForHandle(frames, index, float(width()));
    m_boundaryLower = b.lower;
    m_boundaryUpper = b.upper;
    m_lastValue = m_activeHandle->curRatio;
}

void VMMultiHandleSlider::mouseMoveEvent(QMouseEvent* event) {
    if (!m_activeHandle || !m_activeHandle->handleView) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const slider::DragResult d = slider::dragHandle(float(event->position().x()), slider::kHandleWidth,
                                                    {m_boundaryLower, m_boundaryUpper}, float(width()));
    m_activeHandle->curRatio = d.ratio;
    placeHandle(*m_activeHandle);
    if (slider::ratioChanged(m_activeHandle->curRatio, m_lastValue) && m_valueChanged) {
        m_lastValue = m_activeHandle->curRatio;
        publishValues();
    }
}

void VMMultiHandleSlider::publishValues() {
    for (const auto& h : m_handles) {
        const float v = h->curValue();
        if (slider::ratioChanged(v, m_values.value(h->name)))
            m_values[h->name] = v;
    }
    m_valueChanged(m_values);
}

void VMMultiHandleSlider::mouseReleaseEvent(QMouseEvent* event) {
    m_activeHandle = nullptr;
    QWidget::mouseReleaseEvent(event);
}

EcoSliderAxisView::EcoSliderAxisView(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMinimumHeight(12);
}

void EcoSliderAxisView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor colour = palette().color(QPalette::WindowText);
    for (const slider::Rect& t : slider::axisTicks(float(width())))
        p.fillRect(QRectF(t.x, t.y, t.width, t.height), colour);
}

} // namespace dcv
