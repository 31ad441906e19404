// The desktop's panels and print dialog: window-modal over their parent, open() returns at once,
// the answer arrives on dismissal and the panel goes away.
#include "platform/Services.h"
#include "support/TestSupport.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace dcv;

namespace {

struct Answer {
    bool given = false;
    QString path;
    FilePanels::Done done() {
        return [this](const QString& p) {
            given = true;
            path = p;
        };
    }
};

QString str(const std::filesystem::path& p) {
    return QString::fromStdString(p.string());
}

} // namespace

TEST(QtFilePanelsTest, PanelsAnswerWhenDismissedWithThePathOrNothing) {
    test::TempDir dir;
    dir.write("clips/x.MP4", "x");
    const QString clips = str(dir / "clips");
    using Open = std::function<void(FilePanels&, QWidget*, FilePanels::Done)>;
    const Open folder = [](FilePanels& p, QWidget* w, FilePanels::Done d) {
        p.openFolder(w, "Open", std::move(d));
    };
    const auto save = [&](const QStringList& filters) -> Open {
        return [=](FilePanels& p, QWidget* w, FilePanels::Done d) {
            p.saveFile(w, "Save", clips + "/log.csv", filters, std::move(d));
        };
    };
    const struct {
        const char* name;
        const char* panelName;
        Open open;
        QString select; // chosen in the panel before it is accepted; empty: cancelled
        QString expected;
    } cases[] = {
        {"folder chosen", "openFolderPanel", folder, clips, clips},
        {"folder cancelled", "openFolderPanel", folder, {}, {}},
        {"file chosen", "openFilePanel",
         [](FilePanels& p, QWidget* w, FilePanels::Done d) {
             p.openFile(w, "Open", {"Recordings (*.MP4)"}, std::move(d));
         },
         clips + "/x.MP4", clips + "/x.MP4"},
        // The suggested name is filled in: accepting it as it stands saves there.
        {"save as suggested", "saveFilePanel", save({"CSV (*.csv)"}), "-", clips + "/log.csv"},
        // A name typed without an extension gets the first filter's.
        {"save without an extension", "saveFilePanel", save({"JPEG (*.jpg *.jpeg)", "PNG (*.png)"}),
         clips + "/shot", clips + "/shot.jpg"},
        // One typed with another extension is the user's: the question about replacing was
        // about that name, so nothing is added behind it.
        {"save with another extension", "saveFilePanel", save({"CSV (*.csv)"}), clips + "/log.txt",
         clips + "/log.txt"},
    };
    QtFilePanels panels;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget window;
        window.show();
        Answer answer;
        c.open(panels, &window, answer.done());
        // open() has returned with the panel up and nothing answered yet.
        auto* panel = window.findChild<QFileDialog*>(QLatin1String(c.panelName));
        ASSERT_TRUE(panel);
        EXPECT_TRUE(panel->isVisible());
        EXPECT_EQ(panel->windowModality(), Qt::WindowModal);
        EXPECT_FALSE(answer.given);
        QSignalSpy gone(panel, &QObject::destroyed);
        if (c.select.isEmpty()) {
            panel->reject();
        } else {
            if (c.select != "-") {
                panel->setDirectory(clips);
                panel->selectFile(c.select);
            }
            QMetaObject::invokeMethod(panel, "accept");
        }
        EXPECT_TRUE(answer.given);
        EXPECT_EQ(answer.path, c.expected);
        EXPECT_TRUE(gone.wait(1000)) << "the panel stays after its answer";
    }
}

TEST(QtPrintDialogTest, OpensWindowModalAndTellsACancel) {
    QWidget window;
    window.show();
    QPrinter printer;
    QtPrintDialog dialog;
    std::optional<bool> accepted;
    dialog.askForPrinter(&window, printer, [&](bool ok) { accepted = ok; });
    auto* shown = window.findChild<QPrintDialog*>(QStringLiteral("printDialog"));
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->windowModality(), Qt::WindowModal);
    EXPECT_FALSE(accepted.has_value());
    QSignalSpy gone(shown, &QObject::destroyed);
    shown->reject();
    EXPECT_EQ(accepted, false);
    EXPECT_TRUE(gone.wait(1000));
}
