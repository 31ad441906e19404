#include "telemetry/DCVMapWindowController.h"

#include "platform/DCVStrings.h"
#include "platform/web/DCVWebView.h"
#include "ui_DCVMapWindowController.h"
#include "util/Log.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace dcv {

DCVMapWindowController::DCVMapWindowController(QWidget* parent, bool withMapPage)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui::DCVMapWindowController>()) {
    m_ui->setupUi(this);
    setWindowTitle(infoText("main.map"));
    if (withMapPage) {
        m_mapWebView = new DCVWebView(this);
        m_mapWebView->setObjectName(QStringLiteral("mapWebView"));
        m_ui->windowLayout->addWidget(m_mapWebView);
    }
    windowDidLoad();
}

DCVMapWindowController::~DCVMapWindowController() = default;

void DCVMapWindowController::windowDidLoad() {
    const QRect frame = frameGeometry();
    dcvLog("map window frame=(%d,%d %dx%d)", frame.x(), frame.y(), frame.width(), frame.height());
    if (m_mapWebView)
        m_mapWebView->loadMapPage(QLatin1String(kBuildLanguage));
}

DCVScriptTarget* DCVMapWindowController::scriptTarget() const {
    if (m_scriptTarget)
        return m_scriptTarget;
    return m_mapWebView.data();
}

void DCVMapWindowController::showWindow() {
    show();
    raise();
}

void DCVMapWindowController::updateMapLat(double latitude, double longitude) {
    if (DCVScriptTarget* target = scriptTarget())
        DCVMapBridge(*target).updateMapLat(latitude, longitude);
}

void DCVMapWindowController::moveWindowRightBy(const QRect& frame) {
    QPoint origin(frame.x() + frame.width(), frame.y());
    const QSize size = frameGeometry().size();
    const QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (!screen)
        screen = this->screen();
    if (screen) {
        const QRect available = screen->availableGeometry();
        origin.setX(std::max(available.left(), std::min(origin.x(), available.right() + 1 - size.width())));
    }
    move(origin);
}

} // namespace dcv
