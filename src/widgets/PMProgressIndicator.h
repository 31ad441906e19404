#pragma once

#include "widgets/ProgressEstimate.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class QLabel;
class QTimer;

namespace dcv {

class PMProgressIndicatorController;

// The progress bar of the waiting panels: value between a minimum and a maximum, or
// indeterminate with a moving stripe while its animation runs. It can write the share done and
// an estimate of the time left into a label beside it (`setProgressText`), and mirrors itself
// as a small bar on the application's icon while it is between its ends (`drawDockProgress`,
// on unless turned off).
class PMProgressIndicator : public QWidget {
    Q_OBJECT
public:
    // Seconds on a steady clock.
    using Clock = std::function<double()>;

    explicit PMProgressIndicator(QWidget* parent = nullptr);
    ~PMProgressIndicator() override;

    double minValue() const { return m_min; }
    double maxValue() const { return m_max; }
    void setMinValue(double v);
    void setMaxValue(double v);
    double doubleValue() const { return m_value; }
    // Shows the value when its whole part differs from the one shown last; a value at either
    // end takes the bar off the icon.
    virtual void setDoubleValue(double v);

    bool isIndeterminate() const { return m_indeterminate; }
    void setIndeterminate(bool flag);
    // The animation runs on the main thread here; the flag is kept for callers that set it.
    void setUsesThreadedAnimation(bool flag) { m_threaded = flag; }
    bool usesThreadedAnimation() const { return m_threaded; }

    void startAnimation();
    void stopAnimation();
    bool isAnimating() const;

    // The label that shows the estimate; it may be none.
    void setProgressText(QLabel* label);
    QLabel* progressText() const;
    void updateProgressText();
    void setDisplayPercentage(bool flag) { m_estimate.displayPercentage = flag; }
    bool displayPercentage() const { return m_estimate.displayPercentage; }
    void setDisplayTimeRemaining(bool flag) { m_estimate.displayTimeRemaining = flag; }
    bool displayTimeRemaining() const { return m_estimate.displayTimeRemaining; }

    void setDrawDockProgress(bool flag);
    bool drawDockProgress() const { return m_drawDockProgress; }
    // The icon's controller; the shared one unless another is given (before the first value).
    void setController(PMProgressIndicatorController* controller);
    void setClock(Clock clock) { m_clock = std::move(clock); }

    QSize sizeHint() const override { return {220, 6}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PMProgressIndicatorController* controller();

    double m_min = 0, m_max = 100, m_value = 0;
    bool m_indeterminate = false, m_threaded = false;
    QTimer* m_animationTimer;
    int m_phase = 0;
    int32_t m_lastValue = 0;
    bool m_drawDockProgress = true;
    QPointer<QLabel> m_progressText;
    ProgressEstimate m_estimate;
    Clock m_clock;
    QPointer<PMProgressIndicatorController> m_controller;
};

} // namespace dcv
