// The main window's map page: loaded after the first paint, it still gets the track and the
// position of a recording started before it was there.
#include "app/DCVAppDelegate.h"
#include "platform/web/DCVWebView.h"
#include "player/DCVPlayInfo.h"
#include "player/DCVPlaybackController.h"
#include "support/TestServices.h"
#include "support/TestSupport.h"
#include "support/Views.h"
#include "telemetry/MapScripts.h"
#include "widgets/CustomWindow.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <gtest/gtest.h>

using namespace dcv;

// The page loads after the window's first paint. A recording started before that (here: before
// the window is shown, so the order is certain) reaches the page once it has loaded, and no
// script call fails on the way.
TEST(MainWindowMapTest, ARecordingStartedBeforeThePageLoadedReachesItOnceLoaded) {
    DCVAppDelegate::Options options;
    options.animateFrames = false;
    test::TestServices services;
    DCVAppDelegate delegate(services.services, options);
    DCVPlaybackController& playback = delegate.playback();
    QSignalSpy reloaded(&delegate, &DCVAppDelegate::mediaListReloaded);
    delegate.openDirectory(QString::fromStdString(test::sampleCardDir().string()));
    ASSERT_TRUE(reloaded.wait(5000));
    QSignalSpy handed(&playback, &DCVPlaybackController::telemetryHandedOver);
    ASSERT_TRUE(playback.playAtIndex(0));
    ASSERT_TRUE(handed.wait(5000));
    ASSERT_EQ(delegate.mapPage(), nullptr);

    QSignalSpy loaded(&delegate, &DCVAppDelegate::mapPageLoadFinished);
    delegate.window()->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate.mapPage() != nullptr; }, 5000));
    // No view until the map is shown: the window is not composed through OpenGL for it.
    EXPECT_EQ(delegate.mapWebView(), nullptr);
    QSignalSpy errors(delegate.mapPage(), &DCVMapPage::scriptError);
    ASSERT_TRUE(loaded.wait(60000)) << "the map page did not load";
    ASSERT_TRUE(loaded.first().first().toBool());
    const auto field = [&](const char* name) {
        return test::view<QLabel>(delegate.window(), name)->text().toDouble();
    };
    // The page's marker and track, read from the page, against the fields under the map.
    const auto checkMarker = [&](const char* when) {
        SCOPED_TRACE(when);
        QVariant result;
        bool done = false;
        delegate.mapPage()->runJavaScript(QStringLiteral("dcvMapState()"), [&](const QVariant& v) {
            result = v;
            done = true;
        });
        ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, 10000));
        const QJsonObject s = QJsonDocument::fromJson(result.toString().toUtf8()).object();
        EXPECT_EQ(size_t(s["trackPoints"].toInt()), mapTrack(playback.blackBoxData()->m_vGpsData()).size());
        EXPECT_GT(s["trackPoints"].toInt(), 0);
        const QJsonArray marker = s["marker"].toArray();
        ASSERT_EQ(marker.size(), 2);
        EXPECT_NEAR(marker[0].toDouble(), field("latitudeField"), 1e-4);
        EXPECT_NEAR(marker[1].toDouble(), field("longitudeField"), 1e-4);
    };
    const auto playUntil = [&](double position) {
        if (!playback.playInfo()->isPlaying())
            playback.clickPlayButton();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return playback.playInfo()->isPlaying() && playback.playInfo()->position() > position; },
            10000));
        // Paused, the page and the fields stay put; the pause published the last position, and
        // the page runs scripts in the order they were sent.
        playback.clickPlayButton();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !playback.playInfo()->isPlaying(); }, 3000));
    };

    // The map side shows the page that was loaded without a view; its marker follows the play.
    delegate.clickMapViewButton();
    ASSERT_NE(delegate.mapWebView(), nullptr);
    EXPECT_EQ(delegate.mapWebView()->page(), delegate.mapPage());
    EXPECT_TRUE(delegate.mapWebView()->isVisible());
    playUntil(0.1);
    checkMarker("shown while playing");

    // Played on behind the list, the marker catches up when the map is shown again, in the
    // same view.
    DCVWebView* view = delegate.mapWebView();
    delegate.clickMediaListViewButton();
    playUntil(0.4);
    delegate.clickMapViewButton();
    EXPECT_EQ(delegate.mapWebView(), view);
    checkMarker("shown again");
    EXPECT_EQ(errors.count(), 0) << (errors.isEmpty() ? "" : errors.first().first().toString().toStdString());
}
