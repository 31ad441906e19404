#include "platform/DCVStrings.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTranslator>
#include <gtest/gtest.h>

using namespace dcv;

namespace {

// Every key the sources look up in "InfoPlist": through infoText, translate or a marked table.
QSet<QString> keysInSources() {
    const QString src = QString::fromStdString((dcv::test::sourceDir() / "src").string());
    static const QRegularExpression patterns[] = {
        QRegularExpression(QStringLiteral(R"(infoText\(\s*"([^"]+)\")")),
        QRegularExpression(QStringLiteral(R"(translate\(\s*"InfoPlist"\s*,\s*"([^"]+)\")")),
        QRegularExpression(QStringLiteral(R"(QT_TRANSLATE_NOOP\(\s*"InfoPlist"\s*,\s*"([^"]+)\")")),
        // The core's label tables and messages (no Qt there to mark them).
        QRegularExpression(QStringLiteral(R"(ItemLabel::(?:key|keyFormat)\(\s*"([^"]+)\")")),
        QRegularExpression(QStringLiteral(R"(ItemLabel::withKey\(\s*"[^"]*"\s*,\s*"([^"]+)\")")),
    };
    // The settings core returns its messages as bare keys.
    static const QRegularExpression settingsKey(QStringLiteral(R"re("((?:msg|setting)\.[A-Za-z0-9_.]+)")re"));
    QSet<QString> keys;
    QDirIterator it(src, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(file.readAll());
        for (const auto& pattern : patterns)
            for (auto m = pattern.globalMatch(text); m.hasNext();)
                keys.insert(m.next().captured(1));
        if (file.fileName().mid(src.size()).startsWith(QLatin1String("/settings/")))
            for (auto m = settingsKey.globalMatch(text); m.hasNext();)
                keys.insert(m.next().captured(1));
    }
    return keys;
}

} // namespace

TEST(StringsTest, EveryKeyUsedHasAnEnglishText) {
    const QSet<QString> keys = keysInSources();
    // The scan must see the window's own keys, or it proves nothing.
    for (const char* key :
         {"main.open_folder", "filelist.mode", "setting.aux.ssid_length", "Portuguese", "nMinute_fmt"})
        ASSERT_TRUE(keys.contains(QLatin1String(key))) << key;
    ASSERT_GE(keys.size(), 130);
    // Asked directly, the translator gives nothing for a key without a text ("English" may
    // well be its own English text).
    QTranslator english;
    ASSERT_TRUE(english.load(QStringLiteral(":/i18n/dcv_en.qm")));
    QStringList missing;
    for (const QString& key : keys) {
        const QByteArray k = key.toUtf8();
        if (english.translate("InfoPlist", k.constData()).isEmpty())
            missing << key;
    }
    missing.sort();
    EXPECT_TRUE(missing.isEmpty()) << "keys without an English text: " << missing.join(", ").toStdString();
}

TEST(StringsTest, KeysWithoutTextShowThemselves) {
    EXPECT_EQ(infoText("no.such.key"), QStringLiteral("no.such.key"));
    EXPECT_EQ(infoText("filelist.date"), QStringLiteral("Date"));
}
