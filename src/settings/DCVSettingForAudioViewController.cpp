#include "settings/DCVSettingForAudioViewController.h"

#include "platform/DCVStrings.h"
#include "settings/SettingsControls.h"
#include "ui_DCVSettingForAudioViewController.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

namespace dcv {
namespace {
constexpr const SettingsFieldRule& kLanguage = settingsRule("voiceLanguage");

QGridLayout* gridOf(const QWidget* group) {
    return group->findChild<QGridLayout*>();
}
} // namespace

DCVSettingForAudioViewController::DCVSettingForAudioViewController(QWidget* parent)
    : DCVSettingTab(parent), ui(std::make_unique<Ui::DCVSettingForAudioViewController>()),
      m_languageGroup(new QButtonGroup(this)) {
    ui->setupUi(this);
    setWindowTitle(infoText("setting.audio"));
    ui->micVolumeGroup->setTitle(infoText("setting.aux.mic_volume"));
    ui->speakerVolumeGroup->setTitle(infoText("setting.aux.speaker_volume"));
    ui->voiceLangGroup->setTitle(infoText("setting.aux.voice_guidance_lang_setting"));
    ui->useEveryHourNoticeChk->setText(infoText("setting.aux.enable_hourly_alarm"));
    fields.bind(ui->micSeg, settingsRule("micVolume"));
    fields.bind(ui->speakerSeg, settingsRule("speakerVolume"));
    fields.bind(ui->useEveryHourNoticeChk, settingsRule("hourlyAlarm"));

    // The cells in row-by-row order take the languages in list order.
    QGridLayout* grid = gridOf(ui->voiceLangGroup);
    m_columns = std::max(grid->columnCount(), 1);
    const QStringList titles = labelTexts(kLanguage.labels);
    QList<QAbstractButton*> cells(qsizetype(grid->rowCount()) * m_columns, nullptr);
    for (int i = 0; i < grid->count(); ++i) {
        int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
        grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
        if (auto* cell = qobject_cast<QRadioButton*>(grid->itemAt(i)->widget())) {
            cells[row * m_columns + column] = cell;
            QFont font = cell->font();
            font.setPixelSize(12);
            cell->setFont(font);
            m_languageGroup->addButton(cell, int(voiceLanguageForCell({row, column}, m_columns)));
        }
    }
    cells.removeAll(nullptr);
    setMatrixCellTitles(cells, titles);
    connect(m_languageGroup, &QButtonGroup::idClicked, this, [this] { voiceLangMatrixSelected(); });
}

DCVSettingForAudioViewController::~DCVSettingForAudioViewController() = default;

QRadioButton* DCVSettingForAudioViewController::cellAt(GridCell cell) const {
    QGridLayout* grid = gridOf(ui->voiceLangGroup);
    if (cell.row < 0 || cell.column < 0 || cell.row >= grid->rowCount() || cell.column >= grid->columnCount())
        return nullptr;
    QLayoutItem* item = grid->itemAtPosition(cell.row, cell.column);
    return item ? qobject_cast<QRadioButton*>(item->widget()) : nullptr;
}

std::optional<GridCell> DCVSettingForAudioViewController::selectedCell() const {
    const int id = m_languageGroup->checkedId();
    if (id < 0)
        return std::nullopt;
    return cellForVoiceLanguage(uint32_t(id), m_columns);
}

void DCVSettingForAudioViewController::displayFileData() {
    DCVSettingTab::displayFileData();
    if (!fileData)
        return;
    if (QRadioButton* cell = cellAt(cellForVoiceLanguage(fileData->voiceLanguage, m_columns))) {
        cell->setChecked(true);
    } else if (QAbstractButton* checked = m_languageGroup->checkedButton()) {
        m_languageGroup->setExclusive(false);
        checked->setChecked(false);
        m_languageGroup->setExclusive(true);
    }
}

void DCVSettingForAudioViewController::voiceLangMatrixSelected() {
    if (!fileData)
        return;
    if (const auto cell = selectedCell())
        storeSettingsItem(kLanguage, *fileData, int32_t(voiceLanguageForCell(*cell, m_columns)));
}

bool DCVSettingForAudioViewController::populate() {
    if (!DCVSettingTab::populate())
        return false;
    voiceLangMatrixSelected();
    return true;
}

} // namespace dcv
