#pragma once

#include <QObject>
#include <QString>

class QTimer;
class QWidget;

namespace dcv {

class PMProgressIndicator;

// The loading indicator while a recording is opened: a bar over the window's head that fills
// by one tick every 0.3 s and goes away at the tick after hideLoading, or by itself after 50
// ticks. One timer drives it, so a new start supersedes the ticks of the one before.
class DCVLoadingIndicator : public QObject {
    Q_OBJECT
public:
    // `over` is the view the bar is centred over.
    DCVLoadingIndicator(PMProgressIndicator* bar, QWidget* over, int tickMilliseconds);

    // The text is not shown.
    void showLoading(const QString& text);
    // One tick of a wait of `durationSeconds`.
    void updateLoadingWindow(double durationSeconds);
    void hideLoading() { m_stopVideoLoadingView = true; }

    // The indicator is to be (or has been) taken down.
    bool stopVideoLoadingView() const { return m_stopVideoLoadingView; }
    double progress() const { return m_progress; }
    int ticks() const { return m_ticks; }
    bool isTicking() const;

signals:
    // The bar went away.
    void finished();

private:
    static constexpr double kDurationSeconds = 15;

    PMProgressIndicator* m_bar;
    QWidget* m_over;
    QTimer* m_timer;
    bool m_stopVideoLoadingView = false;
    double m_progress = 0;
    int m_ticks = 0;
};

} // namespace dcv
