// The one alert of every window.
#include "widgets/AlertSheet.h"

#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace dcv;

TEST(AlertSheetTest, OneOkButtonOverItsWindowAndTheCallbackOnDismissal) {
    QWidget window;
    window.show();
    int dismissed = 0;
    QMessageBox* box = showAlertSheet(&window, QStringLiteral("TELVO"),
                                      QStringLiteral("The file cannot be opened."), [&] { ++dismissed; });
    ASSERT_TRUE(box);
    // Returned at once, with the alert up.
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->parentWidget(), &window);
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->text(), QStringLiteral("TELVO"));
    EXPECT_EQ(box->informativeText(), QStringLiteral("The file cannot be opened."));
    ASSERT_EQ(box->buttons().size(), 1);
    EXPECT_EQ(box->standardButton(box->buttons().first()), QMessageBox::Ok);
    EXPECT_EQ(dismissed, 0);
    QSignalSpy gone(box, &QObject::destroyed);
    box->buttons().first()->click();
    EXPECT_EQ(dismissed, 1);
    EXPECT_TRUE(gone.wait(1000));
    EXPECT_EQ(dismissed, 1);
}
