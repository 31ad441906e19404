#pragma once

#include "widgets/TKImage.h"

#include <QColor>
#include <QMap>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

namespace dcv {

// One handle of the ratio slider: its ratio on the bar and how that maps to the value the host
// sees (the ratio itself without mapping).
class VMSliderHandle {
public:
    using ValueBlock = std::function<float(float)>;

    QString name;
    TKImage handleImage;
    float curRatio = 0;
    QPointer<QWidget> handleView;

    void setValueBlock(ValueBlock block) { m_value = std::move(block); }
    void setInvValueBlock(ValueBlock block) { m_inverse = std::move(block); }
    float curValue() const { return m_value ? m_value(curRatio) : curRatio; }
    float ratioForValue(float value) const { return m_inverse ? m_inverse(value) : value; }

private:
    ValueBlock m_value, m_inverse;
};

// A horizontal bar with named handles, each holding a ratio from 0 to 1. The mouse drags a
// handle up to its neighbours, never past them; the host hears of every move through the
// value-changed block, and moves handles by setting a value.
class VMMultiHandleSlider : public QWidget {
    Q_OBJECT
public:
    using Values = QMap<QString, float>;
    using ValueChangedBlock = std::function<void(Values)>;

    explicit VMMultiHandleSlider(QWidget* parent = nullptr);
    ~VMMultiHandleSlider() override;

    // Handles in the order they were added; empty until the first addHandle.
    const std::vector<std::unique_ptr<VMSliderHandle>>& handles() const { return m_handles; }
    VMSliderHandle* handle(const QString& name) const;
    const Values& values() const { return m_values; }

    void setValueChangedBlock(ValueChangedBlock block) { m_valueChanged = std::move(block); }
    void addHandle(const QString& name, const TKImage& image, float initialRatio,
                   VMSliderHandle::ValueBlock valueBlock = {}, VMSliderHandle::ValueBlock invValueBlock = {});
    // Moves a handle to the ratio of `value`, as the host's settings say, without holding it
    // back at its neighbours: the handles always show what is stored. Tells the block when the
    // handle moved.
    void setValue(const QString& name, float value);

    QSize sizeHint() const override { return {273, 24}; }
    QSize minimumSizeHint() const override { return {60, 17}; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeHandle(const VMSliderHandle& handle);
    void publishValues();

    std::vector<std::unique_ptr<VMSliderHandle>> m_handles;
    Values m_values;
    ValueChangedBlock m_valueChanged;
    QWidget* m_bar;
    VMSliderHandle* m_activeHandle = nullptr;
    float m_boundaryLower = 0, m_boundaryUpper = 0;
    float m_lastValue = 0;
};

// The tick marks under the slider.
class EcoSliderAxisView : public QWidget {
    Q_OBJECT
public:
    explicit EcoSliderAxisView(QWidget* parent = nullptr);
    // Kept for the layouts that set it; the ticks are drawn in the text colour.
    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor& color) { m_backgroundColor = color; }
    QSize sizeHint() const override { return {273, 12}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_backgroundColor;
};

} // namespace dcv
