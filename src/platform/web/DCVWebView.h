#pragma once

#include "telemetry/MapScripts.h"

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWebEngineView>
#include <vector>

namespace dcv {

// Something that evaluates a script text in a page; the result is not used.
class DCVScriptTarget {
public:
    virtual ~DCVScriptTarget() = default;
    virtual void evaluateScript(const QString& script) = 0;
};

// The map page's resource for a build language: "map2" for "ko", "map2_eng" otherwise.
QString mapPageResourceName(const QString& buildLanguage);
// The page's location among the resources. Tiles are fetched only when the page is online;
// DCV_MAP_OFFLINE=1 keeps it off the network (headless runs, tests).
QUrl mapPageUrl(const QString& buildLanguage);

// The script calls of the map page, sent to any script target.
class DCVMapBridge {
public:
    explicit DCVMapBridge(DCVScriptTarget& target) : m_target(target) {}
    // The page takes the longitude first.
    void updateMapLat(double latitude, double longitude);
    void debugNoGpsData();
    void setTrack(const std::vector<MapTrackPoint>& track);

private:
    DCVScriptTarget& m_target;
};

// The embedded web view that shows the map page. A script call sent before the page has
// loaded would find no functions there: it is held, and runs once the page has loaded. Only the
// latest call of each function is held (a newer position replaces an older one), in the order
// they were sent.
class DCVWebView : public QWebEngineView, public DCVScriptTarget {
    Q_OBJECT
public:
    explicit DCVWebView(QWidget* parent = nullptr);
    void loadMapPage(const QString& buildLanguage);
    void evaluateScript(const QString& script) override;
    bool isPageLoaded() const { return m_pageLoaded; }
    // The calls waiting for the page, oldest first.
    const QStringList& heldScripts() const { return m_held; }

signals:
    // An error the page's scripts reported (also written to the log).
    void scriptError(const QString& message);

private:
    void pageLoadFinished(bool ok);

    bool m_pageLoaded = false;
    QStringList m_held;
};

} // namespace dcv
