#pragma once

#include "platform/LatestTask.h"
#include "platform/Services.h"
#include "sdcard/FlashData.h"
#include "settings/DCVSettingControllerDelegate.h"
#include "telemetry/DCVMapWindowController.h"

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QPushButton;
class QTableView;

namespace Ui {
class DCVSettingForFlashDataViewController;
}

namespace dcv {

class FlashDataTableModel;

// The driving-log viewer: the camera's .drv records in a 17-column table, exported as
// comma-separated text; a double click on a row with a position shows it in the map window,
// beside the window that holds the viewer. It shows in the settings window like a tab, but
// never edits the settings record.
//
// Logs are read and exported on a worker; the table reads only records already published on
// the main thread, and a new read swaps them in whole.
class DCVSettingForFlashDataViewController : public DCVSettingControllerDelegate {
    Q_OBJECT
public:
    struct Options {
        // From the end of an export to its alert, so that the loading sheet is gone first.
        int alertDelayMs = 500;
        // Makes the map window; by default with its map page.
        std::function<DCVMapWindowController*(QWidget* parent)> makeMapWindow;
    };
    explicit DCVSettingForFlashDataViewController(Services services, QWidget* parent = nullptr);
    DCVSettingForFlashDataViewController(Services services, Options options, QWidget* parent = nullptr);
    ~DCVSettingForFlashDataViewController() override;

    void setFileData(_FILEDATA* data) override;
    bool populate() override { return fileData != nullptr; }
    std::optional<QString> validateUserInput() override { return std::nullopt; }
    void onHide() override;

    const QString& flashDataFilePath() const { return m_FlashDataFilePath; }
    void setFlashDataFilePath(const QString& path) { m_FlashDataFilePath = path; }
    // The records shown.
    const FlashData& flashData() const { return *m_data; }
    bool isFlashDataAccessed() const { return m_bFlashDataAccess; }
    QString stringForColumnIndex(int column, int row) const;
    // The titles of the columns, in index order.
    const QStringList& columnNames() const { return m_columnNames; }

    void displayFileData();
    void loadFlashDataFile();
    void openFileDialog();
    void onSaveCSVFile();
    void doubleClickTableRow(int row);

    DCVMapWindowController* mapWindowController() const { return m_mapWindowController; }
    QTableView* tableView() const;
    QPushButton* openButton() const;
    QPushButton* exportButton() const;

signals:
    // A read has ended: its rows are in the table (ok), or it failed and the rows stayed.
    void flashDataLoaded(bool ok);
    // An export has ended; its alert is shown `alertDelayMs` later.
    void exportFinished(bool ok);

private:
    void awakeFromNib();
    void publish(Result<FlashData> result, const QString& path);
    void showStatus();
    void fitColumns();
    void dropMapWindow();
    void showLoading(const QString& title);
    void hideLoading();
    void exportTo(const QString& path);

    Services m_services;
    Options m_options;
    std::unique_ptr<Ui::DCVSettingForFlashDataViewController> m_ui;
    FlashDataTableModel* m_model = nullptr;
    std::shared_ptr<const FlashData> m_data;
    bool m_bFlashDataAccess = false;
    bool m_firstLoad = true;
    QString m_FlashDataFilePath;
    QStringList m_columnNames;
    QPointer<DCVMapWindowController> m_mapWindowController;
    LatestTask<Result<FlashData>> m_read;
    LatestTask<std::optional<Failure>> m_export;
};

} // namespace dcv
