#pragma once

#include <QIcon>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

class QPainter;
class QTimer;

namespace dcv {

class PMProgressIndicator;

// Mirrors the running progress bars on the application's icon, which task bars show: one bar
// per registered indicator, drawn over a copy of the icon as it was, the first in the bottom
// row and each next one 16 points higher on the 128-point icon. A determinate bar is drawn in
// blue and grey bands; an indeterminate one as a moving striped bar, stepped every 0.1 s.
// Redraws are coalesced: requests meanwhile join the one pending.
class PMProgressIndicatorController : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<double()>; // seconds on a steady clock

    static constexpr int kIconSize = 128;
    static constexpr int kRowHeight = 16;
    static constexpr int kRedrawDelayMs = 100;

    // The one controller of the application, over its icon at the first call; none without an
    // application.
    static PMProgressIndicatorController* sharedInstance();
    // A controller over the given icon (tests give their own icon and clock).
    PMProgressIndicatorController(const QIcon& icon, Clock clock, QObject* parent = nullptr);
    ~PMProgressIndicatorController() override;

    void addProgressIndicator(PMProgressIndicator* indicator);
    void removeProgressIndicator(PMProgressIndicator* indicator);
    int numProgressIndicators() const { return int(m_indicators.size()); }
    bool contains(const PMProgressIndicator* indicator) const;

    // Composes the icon now and sets it, the plain icon when no bar is registered.
    void drawProgressIndicators();
    void restoreIcon();
    // A redraw at the next turn of the event loop (or after `delayMs`), unless one is due
    // sooner.
    void setNeedsDisplay(int delayMs = 0);
    bool isRedrawPending() const;
    // The icon last set with the bars on it; null after the plain icon was restored.
    const QImage& composedIcon() const { return m_composed; }

signals:
    // The application's icon was set, with bars or plain.
    void iconChanged();

private:
    void drawBar(QPainter& painter, const PMProgressIndicator& indicator, int row);
    void drawStripes(QPainter& painter, int row);

    QList<QPointer<PMProgressIndicator>> m_indicators;
    QIcon m_icon;
    QImage m_iconCopy, m_stripes, m_composed;
    Clock m_clock;
    QTimer* m_redrawTimer;
    double m_lastStep;
    double m_stripeOffset = 32;
};

} // namespace dcv
