#pragma once

#include "telemetry/MapScripts.h"

#include <QString>
#include <QUrl>
#include <QWebEnginePage>
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

// The map page. It loads and runs its scripts without a view: a web view shown in a window
// makes Qt compose the whole window through OpenGL from then on, which costs every video frame
// far more than the page itself, so the view comes only when the map is first shown.
class DCVMapPage : public QWebEnginePage, public DCVScriptTarget {
    Q_OBJECT
public:
    explicit DCVMapPage(QObject* parent = nullptr);
    void loadMapPage(const QString& buildLanguage);
    void evaluateScript(const QString& script) override;

signals:
    // An error the page's scripts reported (also written to the log).
    void scriptError(const QString& message);

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                  const QString& source) override;
};

// The embedded web view that shows a map page made before it.
class DCVWebView : public QWebEngineView {
    Q_OBJECT
public:
    explicit DCVWebView(DCVMapPage* page, QWidget* parent = nullptr);

    // Web views hand their pictures to the window as images, not as OpenGL textures: a texture
    // makes Qt compose the whole window through OpenGL from then on, for every video picture,
    // which without a graphics card costs more than playing the video. The page is redrawn
    // only when it changes. Call before the first web view is made.
    static void composeInSoftware();
};

} // namespace dcv
