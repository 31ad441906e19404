#pragma once

#include <QString>

class QCoreApplication;

namespace dcv {

// The text of a key of the application's string table "InfoPlist"; a key without a text
// shows the key itself.
QString infoText(const char* key);
// Loads the English texts compiled into the resources. False when they are missing.
bool installTranslations(QCoreApplication& app);

// The language the application is built for ("auto", "ko" or "en").
inline constexpr const char* kBuildLanguage = "en";

} // namespace dcv
