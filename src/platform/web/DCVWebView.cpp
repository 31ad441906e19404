#include "platform/web/DCVWebView.h"

#include "util/Log.h"

#include <QQuickWindow>
#include <QUrlQuery>

namespace dcv {

QString mapPageResourceName(const QString& buildLanguage) {
    return buildLanguage == QLatin1String("ko") ? QStringLiteral("map2") : QStringLiteral("map2_eng");
}

QUrl mapPageUrl(const QString& buildLanguage) {
    QUrl url(QStringLiteral("qrc:/map/%1.htm").arg(mapPageResourceName(buildLanguage)));
    if (qEnvironmentVariableIntValue("DCV_MAP_OFFLINE") == 1) {
        QUrlQuery query;
        query.addQueryItem(QStringLiteral("offline"), QStringLiteral("1"));
        url.setQuery(query);
    }
    return url;
}

void DCVMapBridge::updateMapLat(double latitude, double longitude) {
    m_target.evaluateScript(QString::fromStdString(setLatLagScript(longitude, latitude)));
}

void DCVMapBridge::debugNoGpsData() {
    m_target.evaluateScript(QString::fromLatin1(kNoGpsDataScript));
}

void DCVMapBridge::setTrack(const std::vector<MapTrackPoint>& track) {
    m_target.evaluateScript(QString::fromStdString(trackScript(track)));
}

DCVMapPage::DCVMapPage(QObject* parent) : QWebEnginePage(parent) {
    // The page's own dark background shows until the first frame of the page is drawn.
    setBackgroundColor(QColor(0x0e, 0x10, 0x14));
}

void DCVMapPage::loadMapPage(const QString& buildLanguage) {
    load(mapPageUrl(buildLanguage));
}

void DCVMapPage::evaluateScript(const QString& script) {
    runJavaScript(script);
}

// The page's console goes to the log, so that a failing script call is seen there.
void DCVMapPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                          const QString& source) {
    dcvLog("map page %s:%d: %s", source.toUtf8().constData(), line, message.toUtf8().constData());
    if (level == ErrorMessageLevel)
        emit scriptError(message);
}

void DCVWebView::composeInSoftware() {
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

DCVWebView::DCVWebView(DCVMapPage* page, QWidget* parent) : QWebEngineView(parent) {
    setPage(page);
    setContextMenuPolicy(Qt::NoContextMenu);
}

} // namespace dcv
