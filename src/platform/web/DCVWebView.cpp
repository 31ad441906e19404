#include "platform/web/DCVWebView.h"

#include "util/Log.h"

#include <QQuickWindow>
#include <QUrlQuery>
#include <utility>

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
    connect(this, &QWebEnginePage::loadStarted, this, [this] { m_pageLoaded = false; });
    connect(this, &QWebEnginePage::loadFinished, this, &DCVMapPage::pageLoadFinished);
}

void DCVMapPage::pageLoadFinished(bool ok) {
    // A page that failed to load keeps the calls for the next load.
    m_pageLoaded = ok;
    if (!ok)
        return;
    const QStringList held = std::exchange(m_held, {});
    for (const QString& script : held)
        runJavaScript(script);
}

void DCVMapPage::loadMapPage(const QString& buildLanguage) {
    load(mapPageUrl(buildLanguage));
}

void DCVMapPage::evaluateScript(const QString& script) {
    if (m_pageLoaded) {
        runJavaScript(script);
        return;
    }
    // "setLatLag('1','2')" replaces an earlier "setLatLag(...)".
    const qsizetype open = script.indexOf(QLatin1Char('('));
    const QString function = open < 0 ? script : script.left(open + 1);
    m_held.removeIf([&](const QString& s) { return s.startsWith(function); });
    m_held << script;
}

// The page's console goes to the log, so that a failing script call is seen there.
void DCVMapPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                          int line, const QString& source) {
    dcvLog("map page %s:%d: %s", source.toUtf8().constData(), line, message.toUtf8().constData());
    if (level == ErrorMessageLevel)
        emit scriptError(message);
}

void DCVWebView::composeInSoftware() {
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

DCVWebView::DCVWebView(QWidget* parent) : DCVWebView(nullptr, parent) {}

DCVWebView::DCVWebView(DCVMapPage* page, QWidget* parent)
    : QWebEngineView(parent), m_page(page ? page : new DCVMapPage(this)) {
    setPage(m_page);
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(m_page, &DCVMapPage::scriptError, this, &DCVWebView::scriptError);
}

} // namespace dcv
