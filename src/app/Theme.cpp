#include "app/Theme.h"

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QStyleFactory>

namespace dcv {

namespace {

const char* const kStyleSheet = R"(
QToolTip { background: #22262d; color: #e6e9ed; border: 1px solid #2f343c; padding: 3px 6px; }
QLabel { color: #d8dde3; }
QLabel[class="caption"] { color: #7c8591; font-size: 10px; font-weight: bold; letter-spacing: 1px; }
QLabel[class="value"] { color: #e6e9ed; font-family: "DejaVu Sans Mono"; font-size: 12px; }
QLabel[class="note"] { color: #e0b060; font-size: 11px; padding: 2px 0; }
QLabel[class="axis-x"], QLabel[class="axis-y"], QLabel[class="axis-z"] {
    font-family: "DejaVu Sans Mono"; font-size: 13px; padding-left: 10px; }
QLabel[class="axis-x"] { color: #ff6b6b; border-left: 3px solid #ff2d2d; }
QLabel[class="axis-y"] { color: #6bef8a; border-left: 3px solid #19d13a; }
QLabel[class="axis-z"] { color: #7aa8ff; border-left: 3px solid #2f6bff; }
#mapContainerBottomView { background: #181b20; border-top: 1px solid #262a31; }
#mapContainerTopView { background: #0e1014; }
QTableView {
    background: #15181c; alternate-background-color: #181b20; color: #d8dde3; border: none;
    selection-background-color: #3b2b0f; selection-color: #ffffff; font-size: 11px; outline: 0; }
QHeaderView::section {
    background: #1c1f24; color: #8b939e; border: none; border-bottom: 1px solid #2a2e35;
    padding: 4px 6px; font-size: 10px; font-weight: bold; }
QScrollBar:vertical { background: transparent; width: 8px; margin: 0; }
QScrollBar::handle:vertical { background: #30353d; border-radius: 4px; min-height: 24px; }
QScrollBar::add-line, QScrollBar::sub-line { height: 0; }
QSlider::groove:horizontal { height: 4px; background: #2a2e35; border-radius: 2px; }
QSlider::sub-page:horizontal { background: #ffa41b; border-radius: 2px; }
QSlider::handle:horizontal {
    background: #f2f4f7; width: 12px; height: 12px; margin: -4px 0; border-radius: 6px; }
QSlider::handle:horizontal:hover { background: #ffffff; border: 2px solid #ffa41b; width: 10px; height: 10px; }
TKImageButton { color: #d8dde3; font-size: 11px; font-weight: bold; }
)";

} // namespace

void applyTheme(QApplication& app) {
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x11, 0x13, 0x17));
    p.setColor(QPalette::WindowText, QColor(0xd8, 0xdd, 0xe3));
    p.setColor(QPalette::Base, QColor(0x15, 0x18, 0x1c));
    p.setColor(QPalette::AlternateBase, QColor(0x18, 0x1b, 0x20));
    p.setColor(QPalette::Text, QColor(0xd8, 0xdd, 0xe3));
    p.setColor(QPalette::Button, QColor(0x22, 0x26, 0x2d));
    p.setColor(QPalette::ButtonText, QColor(0xd8, 0xdd, 0xe3));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x5a, 0x61, 0x6b));
    p.setColor(QPalette::Highlight, QColor(0xff, 0xa4, 0x1b));
    p.setColor(QPalette::HighlightedText, QColor(0x11, 0x13, 0x17));
    p.setColor(QPalette::ToolTipBase, QColor(0x22, 0x26, 0x2d));
    p.setColor(QPalette::ToolTipText, QColor(0xe6, 0xe9, 0xed));
    app.setPalette(p);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    app.setFont(font);
    app.setStyleSheet(QString::fromLatin1(kStyleSheet));
}

} // namespace dcv
