#include "player/DCVTelemetryDisplay.h"

#include "platform/DCVStrings.h"
#include "platform/web/DCVWebView.h"
#include "telemetry/GraphView.h"
#include "telemetry/MapScripts.h"
#include "telemetry/TelemetryText.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>

namespace dcv {

namespace {

QLabel* makeField(QWidget* parent, const char* name, const char* cssClass) {
    auto* field = new QLabel(parent);
    field->setObjectName(QLatin1String(name));
    field->setProperty("class", QLatin1String(cssClass));
    return field;
}

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

DCVTelemetryDisplay::DCVTelemetryDisplay(QWidget* gsensorBox, QWidget* gpsBox)
    : QObject(gsensorBox), m_data(std::make_shared<const DCVBlackBoxData>()) {
    auto* row = new QHBoxLayout(gsensorBox);
    row->setContentsMargins(14, 10, 4, 0);
    row->setSpacing(6);
    auto* fieldsBox = new QWidget(gsensorBox);
    fieldsBox->setFixedWidth(92);
    auto* fields = new QVBoxLayout(fieldsBox);
    fields->setContentsMargins(0, 0, 0, 0);
    fields->setSpacing(4);
    auto* title = makeField(fieldsBox, "gsensorTitle", "caption");
    title->setText(infoText("main.gsensor"));
    fields->addWidget(title);
    fields->addSpacing(4);
    m_gsensorXField = makeField(fieldsBox, "gsensorXField", "axis-x");
    m_gsensorYField = makeField(fieldsBox, "gsensorYField", "axis-y");
    m_gsensorZField = makeField(fieldsBox, "gsensorZField", "axis-z");
    for (QLabel* f : {m_gsensorXField, m_gsensorYField, m_gsensorZField})
        fields->addWidget(f);
    fields->addStretch(1);
    row->addWidget(fieldsBox);
    auto* graphColumn = new QVBoxLayout;
    graphColumn->setContentsMargins(0, 0, 0, 0);
    graphColumn->setSpacing(0);
    m_graphView = new GraphView(gsensorBox);
    m_graphView->setObjectName(QStringLiteral("graphView"));
    graphColumn->addWidget(m_graphView, 1);
    // Says, without interrupting, that a recording's telemetry is missing or incomplete.
    m_telemetryNoteField = makeField(gsensorBox, "telemetryNoteField", "note");
    m_telemetryNoteField->hide();
    graphColumn->addWidget(m_telemetryNoteField);
    row->addLayout(graphColumn, 1);

    auto* grid = new QGridLayout(gpsBox);
    grid->setContentsMargins(14, 10, 14, 10);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(2);
    const auto addPair = [gpsBox, grid](int row, int col, const char* captionKey, QLabel*& field,
                                        const char* name) {
        auto* caption = makeField(gpsBox, "", "caption");
        caption->setText(infoText(captionKey));
        field = makeField(gpsBox, name, "value");
        grid->addWidget(caption, row, col * 2);
        grid->addWidget(field, row, col * 2 + 1);
    };
    addPair(0, 0, QT_TRANSLATE_NOOP("InfoPlist", "main.speed"), m_speedField, "speedField");
    addPair(1, 0, QT_TRANSLATE_NOOP("InfoPlist", "main.latitude"), m_latitudeField, "latitudeField");
    addPair(2, 0, QT_TRANSLATE_NOOP("InfoPlist", "main.longitude"), m_longitudeField, "longitudeField");
    addPair(0, 1, QT_TRANSLATE_NOOP("InfoPlist", "main.hdop"), m_hdopField, "hdopField");
    addPair(1, 1, QT_TRANSLATE_NOOP("InfoPlist", "main.satellites"), m_sateliteField, "sateliteField");
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    reset();
}

void DCVTelemetryDisplay::setMapPage(DCVMapPage* page) {
    m_mapPage = page;
    // The page holds the calls until it has loaded: a recording that started before the page
    // was there reaches it with its track and position.
    if (page && !m_scriptTarget && !m_data->m_vGpsData().empty()) {
        DCVMapBridge(*page).setTrack(mapTrack(m_data->m_vGpsData()));
        updateGpsUIByPlayPosition(m_position);
    }
}

DCVScriptTarget* DCVTelemetryDisplay::scriptTarget() const {
    if (m_scriptTarget)
        return m_scriptTarget;
    return m_mapPage.data();
}

void DCVTelemetryDisplay::reset() {
    m_gsensorXField->setText(QStringLiteral("X=+0.00"));
    m_gsensorYField->setText(QStringLiteral("Y=+0.00"));
    m_gsensorZField->setText(QStringLiteral("Z=+0.00"));
    for (QLabel* f : {m_speedField, m_longitudeField, m_latitudeField, m_hdopField, m_sateliteField})
        f->clear();
}

void DCVTelemetryDisplay::showTelemetryNote(const QString& note) {
    m_telemetryNoteField->setText(note);
    m_telemetryNoteField->setToolTip(note);
    m_telemetryNoteField->setVisible(!note.isEmpty());
}

void DCVTelemetryDisplay::setTelemetry(std::shared_ptr<const DCVBlackBoxData> data, bool read) {
    m_data = std::move(data);
    QString note;
    if (read && (m_data->m_GSensors().empty() || !m_data->readReport().complete()))
        note = infoText(m_data->m_GSensors().empty() && m_data->readReport().complete()
                            ? "main.telemetry_none"
                            : "main.telemetry_incomplete");
    showTelemetryNote(note);
    m_graphView->setGraphData(GraphView::Samples(m_data, &m_data->m_GSensors()));
    m_marker.reset();
    if (DCVScriptTarget* target = scriptTarget())
        DCVMapBridge(*target).setTrack(mapTrack(m_data->m_vGpsData()));
}

void DCVTelemetryDisplay::updateGsensorUIByPlayPositon(double playerPosition, double position) {
    m_graphView->updateTimePosition(playerPosition);
    const auto& samples = m_data->m_GSensors();
    const auto index = sampleIndexForPosition(position, samples.size());
    if (!index)
        return;
    const DCVGSensor& g = samples[*index];
    m_gsensorXField->setText(text(gsensorAxisText('X', g.x())));
    m_gsensorYField->setText(text(gsensorAxisText('Y', g.y())));
    m_gsensorZField->setText(text(gsensorAxisText('Z', g.z())));
}

void DCVTelemetryDisplay::setMapShown(bool shown) {
    const bool was = m_mapShown;
    m_mapShown = shown;
    // The marker catches up with what was played while the map was away.
    if (shown && !was) {
        m_marker.reset();
        updateGpsUIByPlayPosition(m_position);
    }
}

void DCVTelemetryDisplay::updateGpsUIByPlayPosition(double position) {
    m_position = position;
    // A map that is not shown is not kept moving: its page would draw every position for nothing.
    DCVScriptTarget* target = m_mapShown || m_scriptTarget ? scriptTarget() : nullptr;
    const auto& samples = m_data->m_vGpsData();
    const auto index = sampleIndexForPosition(position, samples.size());
    if (!index) {
        m_marker.reset();
        if (target)
            DCVMapBridge(*target).debugNoGpsData();
        return;
    }
    const GpsTexts t = gpsTexts(samples[*index].data());
    const std::pair<double, double> marker{t.latitude, t.longitude};
    if (target && m_marker != marker) {
        DCVMapBridge(*target).updateMapLat(t.latitude, t.longitude);
        m_marker = marker;
    }
    m_longitudeField->setText(text(t.longitudeText));
    m_latitudeField->setText(text(t.latitudeText));
    m_speedField->setText(text(t.speedText));
    m_hdopField->setText(text(t.hdopText));
    m_sateliteField->setText(text(t.satelliteText));
}

} // namespace dcv
