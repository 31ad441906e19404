#pragma once

#include "telemetry/DCVBlackBoxData.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <optional>
#include <utility>

class QLabel;
class QWidget;

namespace dcv {

class DCVScriptTarget;
class DCVMapPage;
class GraphView;

// The telemetry of the play position: the G-sensor values as text and on the graph, the GPS fix
// as text under the map and as the map's marker. It shows the telemetry object it was last
// handed; that object is never changed afterwards.
class DCVTelemetryDisplay : public QObject {
    Q_OBJECT
public:
    // Builds the G-sensor texts and graph into `gsensorBox`, the GPS texts into `gpsBox`.
    DCVTelemetryDisplay(QWidget* gsensorBox, QWidget* gpsBox);

    // The map page, once made; it gets the track and position of the recording shown.
    void setMapPage(DCVMapPage* page);
    // Whether the map is on screen; its marker follows the play position only then.
    void setMapShown(bool shown);
    // Sends the map scripts here instead of the map view (tests).
    void setMapScriptTarget(DCVScriptTarget* target) { m_scriptTarget = target; }

    // The start texts of a new recording: "X=+0.00" … and empty GPS fields.
    void reset();
    // Until a new recording's telemetry is read, positions show none (the graph keeps its curves).
    void forgetTelemetry() {
        m_data = std::make_shared<const DCVBlackBoxData>();
        showTelemetryNote({});
    }
    // The telemetry of a new recording: graph, map track. `read` when it is what a read of the
    // recording gave (a note then says when that was nothing or not all); not for none at all.
    void setTelemetry(std::shared_ptr<const DCVBlackBoxData> data, bool read = true);
    const std::shared_ptr<const DCVBlackBoxData>& telemetry() const { return m_data; }
    // The samples of a play position; the graph's bar follows the player's own position.
    void updateGsensorUIByPlayPositon(double playerPosition, double position);
    void updateGpsUIByPlayPosition(double position);

private:
    DCVScriptTarget* scriptTarget() const;
    void showTelemetryNote(const QString& note);

    std::shared_ptr<const DCVBlackBoxData> m_data;
    GraphView* m_graphView;
    QLabel *m_gsensorXField, *m_gsensorYField, *m_gsensorZField;
    QLabel* m_telemetryNoteField;
    QLabel *m_speedField = nullptr, *m_longitudeField = nullptr, *m_latitudeField = nullptr,
           *m_hdopField = nullptr, *m_sateliteField = nullptr;
    QPointer<DCVMapPage> m_mapPage;
    bool m_mapShown = false;
    DCVScriptTarget* m_scriptTarget = nullptr;
    double m_position = 0;
    // Where the marker was put last: the telemetry publishes ten times a second, the camera's
    // position changes once, and each move costs the map page a redraw.
    std::optional<std::pair<double, double>> m_marker;
};

} // namespace dcv
