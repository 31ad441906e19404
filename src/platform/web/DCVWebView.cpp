#include "platform/web/DCVWebView.h"

#include "util/Log.h"

#include <QUrlQuery>
#include <utility>
#include <QWebEnginePage>

namespace dcv {

namespace {

// Sends the page's console to the log, so that a failing script call is seen there.
class DCVMapPage : public QWebEnginePage {
public:
    DCVMapPage(DCVWebView* view) : QWebEnginePage(view), m_view(view) {}

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                  const QString& source) override {
        dcvLog("map page %s:%d: %s", source.toUtf8().constData(), line, message.toUtf8().constData());
        if (level == ErrorMessageLevel)
            emit m_view->scriptError(message);
    }

private:
    DCVWebView* m_view;
};

} // namespace

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

DCVWebView::DCVWebView(QWidget* parent) : QWebEngineView(parent) {
    setPage(new DCVMapPage(this));
    // The page's own dark background shows until the first frame of the page is drawn.
    page()->setBackgroundColor(QColor(0x0e, 0x10, 0x14));
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(this, &QWebEngineView::loadStarted, this, [this] { m_pageLoaded = false; });
    connect(this, &QWebEngineView::loadFinished, this, &DCVWebView::pageLoadFinished);
}

void DCVWebView::pageLoadFinished(bool ok) {
    // A page that failed to load keeps the calls for the next load.
    m_pageLoaded = ok;
    if (!ok)
        return;
    const QStringList held = std::exchange(m_held, {});
    for (const QString& script : held)
        page()->runJavaScript(script);
}

void DCVWebView::loadMapPage(const QString& buildLanguage) {
    load(mapPageUrl(buildLanguage));
}

void DCVWebView::evaluateScript(const QString& script) {
    if (m_pageLoaded) {
        page()->runJavaScript(script);
        return;
    }
    // "setLatLag('1','2')" replaces an earlier "setLatLag(...)".
    const qsizetype open = script.indexOf(QLatin1Char('('));
    const QString function = open < 0 ? script : script.left(open + 1);
    m_held.removeIf([&](const QString& s) { return s.startsWith(function); });
    m_held << script;
}

} // namespace dcv
