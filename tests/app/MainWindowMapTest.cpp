// The main window's map page: loaded after the first paint, it still gets the track and the
// position of a recording started before it was there.
#include "app/DCVAppDelegate.h"
#include "platform/web/DCVWebView.h"
#include "player/DCVMediaListModel.h"
#include "player/DCVPlayInfo.h"
#include "support/TestSupport.h"
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

// The main window's page loads after the first paint; a recording started before that reaches
// the page once it has loaded, and no script call fails on the way.
TEST(MainWindowMapTest, ARecordingStartedBeforeThePageLoadedReachesItOnceLoaded) {
    if (qEnvironmentVariableIsEmpty("DCV_VLC_ARGS"))
        qputenv("DCV_VLC_ARGS", "--aout=dummy");
    DCVAppDelegate::Options options;
    options.animateFrames = false;
    DCVAppDelegate delegate(options);
    delegate.window->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !delegate.mapWebView.isNull(); }, 5000));
    QSignalSpy errors(delegate.mapWebView.data(), &DCVWebView::scriptError);
    QSignalSpy loaded(&delegate, &DCVAppDelegate::mapPageLoadFinished);
    delegate.openDirectory(QString::fromStdString(test::sampleCardDir().string()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate.mediaListModel->rowCount() == 6; }, 5000));
    EXPECT_FALSE(delegate.mapPageLoaded()) << "the page was quicker than the recording; nothing raced";
    ASSERT_TRUE(delegate.playAtIndex(0));
    ASSERT_TRUE(loaded.count() > 0 || loaded.wait(60000)) << "the map page did not load";
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate.playInfo->isPlaying() && delegate.playInfo->position() > 0.1; },
                                10000));
    delegate.clickPlayButton(); // pause, so the page and the fields stay put
    ASSERT_TRUE(QTest::qWaitFor([&] { return !delegate.playInfo->isPlaying(); }, 3000));
    QTest::qWait(300);

    QVariant result;
    bool done = false;
    delegate.mapWebView->page()->runJavaScript(QStringLiteral("dcvMapState()"), [&](const QVariant& v) {
        result = v;
        done = true;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, 10000));
    const QJsonObject s = QJsonDocument::fromJson(result.toString().toUtf8()).object();
    EXPECT_EQ(size_t(s["trackPoints"].toInt()), mapTrack(delegate.blackBoxData->m_vGpsData()).size());
    EXPECT_GT(s["trackPoints"].toInt(), 0);
    const QJsonArray marker = s["marker"].toArray();
    ASSERT_EQ(marker.size(), 2);
    EXPECT_NEAR(marker[0].toDouble(), delegate.latitudeField->text().toDouble(), 1e-4);
    EXPECT_NEAR(marker[1].toDouble(), delegate.longitudeField->text().toDouble(), 1e-4);
    EXPECT_EQ(errors.count(), 0) << (errors.isEmpty() ? "" : errors.first().first().toString().toStdString());
}
