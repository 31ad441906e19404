#pragma once

#include "platform/web/DCVWebView.h"

#include <QPointer>
#include <QWidget>
#include <memory>

namespace Ui {
class DCVMapWindowController;
}

namespace dcv {

// A window of its own that shows one position on the map page.
class DCVMapWindowController : public QWidget {
    Q_OBJECT
public:
    // Without the map page (tests of its openers) the script calls go only to the target set
    // with setScriptTarget.
    explicit DCVMapWindowController(QWidget* parent = nullptr, bool withMapPage = true);
    ~DCVMapWindowController() override;

    DCVWebView* mapWebView() const { return m_mapWebView; }
    // Sends the script calls here instead of the map view.
    void setScriptTarget(DCVScriptTarget* target) { m_scriptTarget = target; }

    void showWindow();
    // Centres the map on a position in signed decimal degrees. Sent before the page has loaded,
    // it waits for the page.
    void updateMapLat(double latitude, double longitude);
    // Puts the window beside `frame` (a window's frame in screen coordinates): its left edge on
    // the frame's right edge, the tops level. A window that would reach past the right of its
    // screen is pulled back onto it.
    void moveWindowRightBy(const QRect& frame);

private:
    void windowDidLoad();
    DCVScriptTarget* scriptTarget() const;

    std::unique_ptr<Ui::DCVMapWindowController> m_ui;
    QPointer<DCVWebView> m_mapWebView;
    DCVScriptTarget* m_scriptTarget = nullptr;
};

} // namespace dcv
