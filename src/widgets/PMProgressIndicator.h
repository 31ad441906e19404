#pragma once

#include <QWidget>

class QTimer;

namespace dcv {

// The plain progress bar of the waiting panels: value between a minimum and a maximum, or
// indeterminate with a moving stripe while its animation runs.
class PMProgressIndicator : public QWidget {
    Q_OBJECT
public:
    explicit PMProgressIndicator(QWidget* parent = nullptr);

    double minValue() const { return m_min; }
    double maxValue() const { return m_max; }
    void setMinValue(double v);
    void setMaxValue(double v);
    double doubleValue() const { return m_value; }
    virtual void setDoubleValue(double v);

    bool isIndeterminate() const { return m_indeterminate; }
    void setIndeterminate(bool flag);
    // The animation runs on the main thread here; the flag is kept for callers that set it.
    void setUsesThreadedAnimation(bool flag) { m_threaded = flag; }
    bool usesThreadedAnimation() const { return m_threaded; }

    void startAnimation();
    void stopAnimation();
    bool isAnimating() const;

    QSize sizeHint() const override { return {220, 6}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_min = 0, m_max = 100, m_value = 0;
    bool m_indeterminate = false, m_threaded = false;
    QTimer* m_animationTimer;
    int m_phase = 0;
};

} // namespace dcv
