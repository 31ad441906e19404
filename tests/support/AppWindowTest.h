#pragma once
// The main window over scripted services, shown, for the window tests.
#include "app/DCVAppDelegate.h"
#include "player/DCVMediaListModel.h"
#include "player/DCVPlaybackController.h"
#include "support/TestServices.h"
#include "support/Views.h"
#include "widgets/CustomWindow.h"

#include <QSignalSpy>
#include <QTableView>
#include <filesystem>
#include <gtest/gtest.h>

namespace dcv::test {

class AppWindowTest : public ::testing::Test {
protected:
    // Without frame animations or the map page, which most tests do not look at.
    static DCVAppDelegate::Options quietOptions() {
        DCVAppDelegate::Options options;
        options.animateFrames = false;
        options.withMapPage = false;
        return options;
    }
    void showWindow(const DCVAppDelegate::Options& options = quietOptions()) {
        delegate = std::make_unique<DCVAppDelegate>(services.services, options);
        window = delegate->window();
        playback = &delegate->playback();
        model = qobject_cast<DCVMediaListModel*>(view<QTableView>("mediaListTableView")->model());
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }
    // Before the members of the test that the window may still hold.
    void TearDown() override { delegate.reset(); }
    template <class T = QWidget> T* view(const char* name) const { return test::view<T>(window, name); }
    void openFolder(const std::filesystem::path& folder, int rows) {
        QSignalSpy reloaded(delegate.get(), &DCVAppDelegate::mediaListReloaded);
        delegate->openDirectory(QString::fromStdString(folder.string()));
        ASSERT_TRUE(reloaded.wait(5000));
        ASSERT_EQ(model->rowCount(), rows);
    }

    TestServices services;
    std::unique_ptr<DCVAppDelegate> delegate;
    CustomWindow* window = nullptr;
    DCVPlaybackController* playback = nullptr;
    DCVMediaListModel* model = nullptr;
};

} // namespace dcv::test
