#include "platform/vlc/VLCTime.h"

namespace dcv {

QString VLCTime::stringValue() const {
    if (!m_value)
        return QStringLiteral("--:--");
    const int64_t ms = *m_value;
    const int64_t seconds = (ms < 0 ? -ms : ms) / 1000;
    const QString sign = (ms < 0 && seconds > 0) ? QStringLiteral("-") : QString();
    const int64_t hours = seconds / 3600, minutes = (seconds / 60) % 60, secs = seconds % 60;
    if (hours > 0)
        return QStringLiteral("%1%2:%3:%4")
            .arg(sign)
            .arg(hours)
            .arg(minutes, 2, 10, QLatin1Char('0'))
            .arg(secs, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1%2:%3")
        .arg(sign)
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(secs, 2, 10, QLatin1Char('0'));
}

} // namespace dcv
