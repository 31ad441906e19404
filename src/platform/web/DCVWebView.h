#pragma once

#include "telemetry/MapScripts.h"

#include <QString>
#include <QStringList>
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

// The map page. It loads and runs its scripts without a view, so that nothing of a web view is
// made or drawn before the map is first shown.
//
// A script call sent before the page has loaded would find no functions there: it is held, and
// runs once the page has loaded. Only the latest call of each function is held (a newer position
// replaces an older one), in the order they were sent.
class DCVMapPage : public QWebEnginePage, public DCVScriptTarget {
    Q_OBJECT
public:
    explicit DCVMapPage(QObject* parent = nullptr);
    void loadMapPage(const QString& buildLanguage);
    void evaluateScript(const QString& script) override;
    bool isPageLoaded() const { return m_pageLoaded; }
    // The calls waiting for the page, oldest first.
    const QStringList& heldScripts() const { return m_held; }

signals:
    // An error the page's scripts reported (also written to the log).
    void scriptError(const QString& message);

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                  const QString& source) override;

private:
    void pageLoadFinished(bool ok);

    bool m_pageLoaded = false;
    QStringList m_held;
};

// The embedded web view that shows a map page; script calls go to its page.
class DCVWebView : public QWebEngineView, public DCVScriptTarget {
    Q_OBJECT
public:
    // A view with a map page of its own.
    explicit DCVWebView(QWidget* parent = nullptr);
    // A view of a map page made (and owned) before it.
    explicit DCVWebView(DCVMapPage* page, QWidget* parent = nullptr);
    DCVMapPage* mapPage() const { return m_page; }
    void loadMapPage(const QString& buildLanguage) { m_page->loadMapPage(buildLanguage); }
    void evaluateScript(const QString& script) override { m_page->evaluateScript(script); }
    bool isPageLoaded() const { return m_page->isPageLoaded(); }
    const QStringList& heldScripts() const { return m_page->heldScripts(); }

    // Web views hand their pictures to the window as images, not as OpenGL textures: a texture
    // makes Qt compose the whole window through OpenGL from then on, for every video picture,
    // which without a graphics card costs more than playing the video. The page is redrawn
    // only when it changes. Call before the first web view is made.
    static void composeInSoftware();

signals:
    // An error the page's scripts reported (also written to the log).
    void scriptError(const QString& message);

private:
    DCVMapPage* m_page;
};

} // namespace dcv
