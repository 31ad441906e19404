#include "sdcard/DCVSettingForFlashDataViewController.h"

#include "platform/DCVStrings.h"
#include "settings/DCVSettingController.h"
#include "telemetry/DCVMapWindowController.h"
#include "telemetry/TelemetrySamples.h"
#include "ui_DCVSettingForFlashDataViewController.h"
#include "util/Log.h"

#include <QAbstractTableModel>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>

namespace dcv {

// The table's rows: the published records, one cell text per column.
class FlashDataTableModel : public QAbstractTableModel {
public:
    FlashDataTableModel(const DCVSettingForFlashDataViewController& viewer, QObject* parent)
        : QAbstractTableModel(parent), m_viewer(viewer) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(m_viewer.flashData().count());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(kFlashColumnCount);
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid())
            return {};
        if (role == Qt::DisplayRole)
            return m_viewer.stringForColumnIndex(index.column(), index.row());
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || section < 0 || section >= m_viewer.columnNames().size())
            return {};
        if (role == Qt::DisplayRole)
            return m_viewer.columnNames().at(section);
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::AlignCenter);
        return {};
    }
    // The rows change in one step, with the records they are read from.
    template <class F> void reset(F&& swap) {
        beginResetModel();
        swap();
        endResetModel();
    }

private:
    const DCVSettingForFlashDataViewController& m_viewer;
};

namespace {

const QString kCameraTitle = QStringLiteral("TELVO");

// The title of a column: a string-table key, or the literal title ("X", "TTC").
QString columnTitle(const FlashDataColumn& column) {
    const QString title = QString::fromLatin1(column.title);
    return title.contains(QLatin1Char('.')) ? infoText(column.title) : title;
}

} // namespace

DCVSettingForFlashDataViewController::DCVSettingForFlashDataViewController(Services services, QWidget* parent)
    : DCVSettingForFlashDataViewController(std::move(services), Options{}, parent) {}

DCVSettingForFlashDataViewController::DCVSettingForFlashDataViewController(Services services, Options options,
                                                                           QWidget* parent)
    : DCVSettingControllerDelegate(parent), m_services(std::move(services)), m_options(std::move(options)),
      m_ui(std::make_unique<Ui::DCVSettingForFlashDataViewController>()),
      m_data(std::make_shared<const FlashData>()) {
    if (!m_options.makeMapWindow)
        m_options.makeMapWindow = [](QWidget* parent) { return new DCVMapWindowController(parent); };
    m_ui->setupUi(this);
    awakeFromNib();
}

DCVSettingForFlashDataViewController::~DCVSettingForFlashDataViewController() {
    dropMapWindow();
}

QTableView* DCVSettingForFlashDataViewController::tableView() const {
    return m_ui->tableView;
}
QPushButton* DCVSettingForFlashDataViewController::openButton() const {
    return m_ui->openButton;
}
QPushButton* DCVSettingForFlashDataViewController::exportButton() const {
    return m_ui->exportButton;
}

void DCVSettingForFlashDataViewController::awakeFromNib() {
    for (const FlashDataColumn& column : flashDataColumns())
        m_columnNames << columnTitle(column);
    m_model = new FlashDataTableModel(*this, this);
    QTableView* table = m_ui->tableView;
    table->setModel(m_model);
    QFont cells = table->font();
    cells.setPixelSize(11);
    table->setFont(cells);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(20);
    table->horizontalHeader()->setHighlightSections(false);
    table->horizontalHeader()->setStretchLastSection(true);
    fitColumns();
    m_ui->openButton->setText(infoText("open"));
    m_ui->exportButton->setText(infoText("export"));
    connect(table, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { doubleClickTableRow(index.row()); });
    connect(m_ui->openButton, &QPushButton::clicked, this,
            &DCVSettingForFlashDataViewController::openFileDialog);
    connect(m_ui->exportButton, &QPushButton::clicked, this,
            &DCVSettingForFlashDataViewController::onSaveCSVFile);
    showStatus();
}

void DCVSettingForFlashDataViewController::fitColumns() {
    // The log's own widths, widened where this font needs more for a cell or a title: a
    // position cut short is no position.
    QTableView* table = m_ui->tableView;
    const QAbstractItemView* view = table;
    QHeaderView* header = table->horizontalHeader();
    for (int i = 0; i < int(kFlashColumnCount); ++i)
        table->setColumnWidth(i, std::max({flashDataColumns()[size_t(i)].width, view->sizeHintForColumn(i),
                                           header->sectionSizeHint(i)}));
}

QString DCVSettingForFlashDataViewController::stringForColumnIndex(int column, int row) const {
    if (column < 0 || row < 0)
        return {};
    return QString::fromStdString(dcv::stringForColumnIndex(*m_data, size_t(column), size_t(row)));
}

void DCVSettingForFlashDataViewController::showStatus() {
    const FlashData& d = *m_data;
    QString status;
    if (d.isShort())
        status = infoText("setting.flashdata.short_fmt").arg(d.count()).arg(d.headerCount());
    else if (m_bFlashDataAccess)
        status = infoText("setting.flashdata.count_fmt").arg(d.count());
    if (!m_FlashDataFilePath.isEmpty() && m_bFlashDataAccess)
        status = QStringLiteral("%1   %2").arg(QFileInfo(m_FlashDataFilePath).fileName(), status);
    m_ui->flashDataStatusField->setText(status);
    // A control is enabled exactly when its action can do something.
    m_ui->exportButton->setEnabled(d.count() > 0);
}

void DCVSettingForFlashDataViewController::setFileData(_FILEDATA* data) {
    fileData = data;
    displayFileData();
}

void DCVSettingForFlashDataViewController::displayFileData() {
    if (!fileData || !m_firstLoad)
        return;
    m_firstLoad = false;
    if (!m_FlashDataFilePath.isEmpty() && QFileInfo::exists(m_FlashDataFilePath))
        loadFlashDataFile();
}

void DCVSettingForFlashDataViewController::onHide() {
    dropMapWindow();
}

void DCVSettingForFlashDataViewController::dropMapWindow() {
    delete m_mapWindowController.data();
}

void DCVSettingForFlashDataViewController::showLoading(const QString& title) {
    if (mainController)
        mainController->showLoading(title);
}

void DCVSettingForFlashDataViewController::hideLoading() {
    if (mainController)
        mainController->hideLoading();
}

void DCVSettingForFlashDataViewController::loadFlashDataFile() {
    if (m_FlashDataFilePath.isEmpty())
        return;
    showLoading(QStringLiteral("Loading..."));
    const QString path = m_FlashDataFilePath;
    m_read.run([file = path.toStdString()](const std::atomic<bool>&) { return readFlashDataFile(file); },
               [this, path](Result<FlashData> result) { publish(std::move(result), path); });
}

void DCVSettingForFlashDataViewController::publish(Result<FlashData> result, const QString& path) {
    hideLoading();
    if (!result) {
        // The table keeps the rows it had (the reader has logged the failure).
        showAlertSheet(kCameraTitle, infoText("setting.flashdata.read_fail")
                                         .arg(path, QString::fromStdString(result.failure().detail)));
        emit flashDataLoaded(false);
        return;
    }
    auto data = std::make_shared<const FlashData>(std::move(*result));
    m_model->reset([&] {
        m_data = std::move(data);
        m_bFlashDataAccess = true;
    });
    fitColumns();
    showStatus();
    emit flashDataLoaded(true);
}

void DCVSettingForFlashDataViewController::openFileDialog() {
    dropMapWindow();
    if (!m_services.filePanels)
        return;
    QPointer<DCVSettingForFlashDataViewController> self(this);
    m_services.filePanels->openFile(window(), QStringLiteral("Open Driving Log"),
                                    {QStringLiteral("Driving log (*.drv)")}, [self](const QString& path) {
                                        if (!self || path.isEmpty())
                                            return;
                                        self->m_FlashDataFilePath = path;
                                        self->loadFlashDataFile();
                                    });
}

void DCVSettingForFlashDataViewController::onSaveCSVFile() {
    dropMapWindow();
    if (m_data->count() == 0 || !m_services.filePanels)
        return;
    const QString suggested = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                                  .filePath(QStringLiteral("telvo_000.csv"));
    QPointer<DCVSettingForFlashDataViewController> self(this);
    m_services.filePanels->saveFile(window(), QStringLiteral("Export Driving Log"), suggested,
                                    {QStringLiteral("Comma-separated text (*.csv)")},
                                    [self](const QString& chosen) {
                                        // The panel gave a name typed without an extension
                                        // the filter's; a name the user typed with another one
                                        // is theirs (the panel asked about replacing that file,
                                        // no other).
                                        if (self && !chosen.isEmpty())
                                            self->exportTo(chosen);
                                    });
}

void DCVSettingForFlashDataViewController::exportTo(const QString& path) {
    showLoading(QStringLiteral("Saving..."));
    std::vector<std::string> titles;
    for (const QString& t : m_columnNames)
        titles.push_back(t.toStdString());
    // The worker reads the published records, which nothing changes; a later read swaps in
    // other ones without touching these.
    m_export.run([data = m_data, titles = std::move(titles), file = path.toStdString()](
                     const std::atomic<bool>&) { return writeFlashDataCsv(file, *data, titles); },
                 [this, path](std::optional<Failure> error) {
                     hideLoading();
                     emit exportFinished(!error);
                     const QString informative = error ? infoText("setting.flashdata.export_fail")
                                                             .arg(path, QString::fromStdString(error->detail))
                                                       : infoText("msg.saved");
                     QPointer<DCVSettingForFlashDataViewController> self(this);
                     QTimer::singleShot(m_options.alertDelayMs, this, [self, informative] {
                         if (self)
                             self->showAlertSheet(kCameraTitle, informative);
                     });
                 });
}

void DCVSettingForFlashDataViewController::doubleClickTableRow(int row) {
    dcvLog("rowNum=%d", row);
    if (row < 0 || size_t(row) >= m_data->count())
        return;
    // The table's own texts, read back as numbers.
    double latitude = stringForColumnIndex(5, row).toDouble();
    double longitude = stringForColumnIndex(6, row).toDouble();
    nmeaToDegrees(&latitude, &longitude);
    // A row without a position has nothing to show.
    if (latitude == 0 || longitude == 0)
        return;
    if (!m_mapWindowController) {
        m_mapWindowController = m_options.makeMapWindow(this);
        m_mapWindowController->showWindow();
        m_mapWindowController->moveWindowRightBy(window()->frameGeometry());
    } else {
        m_mapWindowController->showWindow();
    }
    m_mapWindowController->updateMapLat(latitude, longitude);
}

} // namespace dcv
