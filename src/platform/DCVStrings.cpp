#include "platform/DCVStrings.h"

#include <QCoreApplication>
#include <QTranslator>

namespace dcv {

QString infoText(const char* key) {
    return QCoreApplication::translate("InfoPlist", key);
}

bool installTranslations(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral(":/i18n/dcv_en.qm"))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace dcv
