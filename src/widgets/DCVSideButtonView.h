#pragma once

#include "widgets/TKImage.h"

#include <QWidget>

namespace dcv {

// One tab of the right column: its image (the "_p" image marks the selected tab) with a title.
class DCVSideButtonView : public QWidget {
    Q_OBJECT
public:
    explicit DCVSideButtonView(QWidget* parent = nullptr);
    void setImage(const TKImage& image);
    const TKImage& image() const { return m_image; }
    void setTitle(const QString& title);
    QString title() const { return m_title; }
    QSize sizeHint() const override;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TKImage m_image;
    QString m_title;
};

} // namespace dcv
