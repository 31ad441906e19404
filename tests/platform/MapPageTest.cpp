// The map page in a real browser engine: its functions, the marker, the track and the
// offline grid.
#include "platform/web/DCVWebView.h"
#include "telemetry/DCVMapWindowController.h"
#include "telemetry/MapScripts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <gtest/gtest.h>

using namespace dcv;

namespace {

class MapPageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        view = new DCVWebView;
        view->resize(334, 452);
        QSignalSpy loaded(view, &QWebEngineView::loadFinished);
        view->loadMapPage(QStringLiteral("en"));
        ASSERT_TRUE(loaded.wait(60000)) << "the map page did not load";
        ASSERT_TRUE(loaded.first().first().toBool());
    }
    static void TearDownTestSuite() {
        delete view;
        view = nullptr;
    }

    static QVariant evaluate(const QString& script, DCVWebView* in = view) {
        QVariant result;
        bool done = false;
        in->page()->runJavaScript(script, [&](const QVariant& v) {
            result = v;
            done = true;
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 10000)) << script.toStdString();
        return result;
    }
    static QJsonObject state(DCVWebView* in = view) {
        return QJsonDocument::fromJson(evaluate(QStringLiteral("dcvMapState()"), in).toString().toUtf8())
            .object();
    }

    static DCVWebView* view;
};
DCVWebView* MapPageTest::view = nullptr;

} // namespace

TEST(MapPageResourceTest, PageIsChosenByBuildLanguage) {
    EXPECT_EQ(mapPageResourceName("en"), "map2_eng");
    EXPECT_EQ(mapPageResourceName("auto"), "map2_eng");
    EXPECT_EQ(mapPageResourceName("ko"), "map2");
    EXPECT_EQ(mapPageUrl("en").toString(QUrl::RemoveQuery), "qrc:/map/map2_eng.htm");
}

// (Its functions are called by the tests below.)
TEST_F(MapPageTest, PageBringsLeafletAndStaysOffline) {
    EXPECT_EQ(evaluate("typeof L").toString(), "object"); // Leaflet came with the page
    EXPECT_TRUE(state()["offline"].toBool());
}

TEST_F(MapPageTest, APositionMovesTheMarkerAndItsReadout) {
    struct {
        double latitude, longitude;
        const char* readout;
    } cases[] = {
        {37.5, 127.25, "37.50000° N  127.25000° E"},
        {-33.9, 151.2093, "33.90000° S  151.20930° E"},
        {-37.752057, -7.5, "37.75206° S  7.50000° W"},
        {51.5, -0.125, "51.50000° N  0.12500° W"},
    };
    DCVMapBridge bridge(*view);
    for (const auto& c : cases) {
        bridge.updateMapLat(c.latitude, c.longitude);
        const QJsonObject s = state();
        EXPECT_NEAR(s["latitude"].toDouble(), c.latitude, 1e-6) << c.readout;
        EXPECT_NEAR(s["longitude"].toDouble(), c.longitude, 1e-6) << c.readout;
        const QJsonArray marker = s["marker"].toArray();
        ASSERT_EQ(marker.size(), 2) << c.readout;
        EXPECT_NEAR(marker[0].toDouble(), c.latitude, 1e-6) << c.readout;
        EXPECT_NEAR(marker[1].toDouble(), c.longitude, 1e-6) << c.readout;
        EXPECT_EQ(s["readout"].toString(), QString::fromUtf8(c.readout));
    }
    // Text that is no position leaves the marker where it was.
    const int updates = state()["updates"].toInt();
    view->evaluateScript(QStringLiteral("setLatLag('east','95.0')"));
    view->evaluateScript(QStringLiteral("setLatLag('10.0','95.0')"));
    EXPECT_EQ(state()["updates"].toInt(), updates);
    EXPECT_NEAR(state()["latitude"].toDouble(), 51.5, 1e-9);
}

TEST_F(MapPageTest, DebugWithoutGpsDataClearsTheMapAndATrackBringsItBack) {
    DCVMapBridge bridge(*view);
    bridge.setTrack({{37.5, 127.25}, {37.51, 127.26}, {37.52, 127.27}});
    EXPECT_EQ(state()["trackPoints"].toInt(), 3);
    bridge.updateMapLat(37.51, 127.26);
    bridge.debugNoGpsData();
    QJsonObject s = state();
    EXPECT_EQ(s["debug"].toArray().last().toString(), "GPS Data Count=Zero");
    EXPECT_TRUE(s["noGps"].toBool());
    EXPECT_TRUE(s["marker"].isNull());
    EXPECT_EQ(s["trackPoints"].toInt(), 0);
    // Other diagnostics are only recorded.
    view->evaluateScript(QStringLiteral("DCVDebug('hello')"));
    bridge.setTrack({{-33.9, 151.2}, {-33.91, 151.21}});
    s = state();
    EXPECT_EQ(s["debug"].toArray().last().toString(), "hello");
    EXPECT_FALSE(s["noGps"].toBool());
    EXPECT_EQ(s["trackPoints"].toInt(), 2);
    // Points that are no place are left out of the line.
    EXPECT_EQ(evaluate("DCVSetTrack([[1,2],[95,2],[1,200],[3,4]])").toInt(), 2);
}

// Calls sent before the page has loaded wait for it: the latest of each function, in the order
// sent, and only once.
TEST_F(MapPageTest, CallsBeforeTheLoadWaitForThePage) {
    DCVWebView early;
    early.resize(334, 452);
    DCVMapBridge bridge(early);
    bridge.updateMapLat(10, 20);
    bridge.setTrack({{37.5, 127.25}, {37.51, 127.26}});
    bridge.updateMapLat(37.5, 127.25);
    bridge.updateMapLat(-33.9, 151.2);
    EXPECT_EQ(early.heldScripts(),
              QStringList({QStringLiteral("DCVSetTrack([[37.500000,127.250000],[37.510000,127.260000]])"),
                           QStringLiteral("setLatLag('151.200000','-33.900000')")}));
    QSignalSpy loaded(&early, &QWebEngineView::loadFinished);
    early.loadMapPage(QStringLiteral("en"));
    ASSERT_TRUE(loaded.wait(60000));
    ASSERT_TRUE(early.isPageLoaded());
    EXPECT_TRUE(early.heldScripts().isEmpty());
    QJsonObject s = state(&early);
    EXPECT_EQ(s["updates"].toInt(), 1);
    EXPECT_NEAR(s["latitude"].toDouble(), -33.9, 1e-9);
    EXPECT_EQ(s["trackPoints"].toInt(), 2);
    // Once loaded, a call runs at once.
    bridge.updateMapLat(51.5, -0.125);
    EXPECT_TRUE(early.heldScripts().isEmpty());
    s = state(&early);
    EXPECT_EQ(s["updates"].toInt(), 2);
    EXPECT_NEAR(s["longitude"].toDouble(), -0.125, 1e-9);
}

// The map window's own page gets the position asked for before it had loaded.
TEST_F(MapPageTest, MapWindowCentresItsOwnPageOnThePosition) {
    DCVMapWindowController window;
    ASSERT_NE(window.mapWebView(), nullptr);
    ASSERT_NE(window.mapWebView(), view);
    QSignalSpy loaded(window.mapWebView(), &QWebEngineView::loadFinished);
    window.updateMapLat(37.550093, 126.968723);
    window.showWindow();
    ASSERT_TRUE(loaded.wait(60000));
    const QJsonObject s = state(window.mapWebView());
    EXPECT_NEAR(s["latitude"].toDouble(), 37.550093, 1e-9);
    EXPECT_NEAR(s["longitude"].toDouble(), 126.968723, 1e-9);
    EXPECT_EQ(s["updates"].toInt(), 1);
}
