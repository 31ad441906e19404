#pragma once

#include "widgets/TKImage.h"

#include <QColor>
#include <QWidget>
#include <optional>

namespace dcv {

// Draws three images over its bounds as a horizontal three-part image.
class TKThreePartImageView : public QWidget {
    Q_OBJECT
public:
    explicit TKThreePartImageView(QWidget* parent = nullptr);
    void setImagesLeft(const TKImage& left, const TKImage& middle, const TKImage& right);
    const TKImage& left_img() const { return m_left; }
    const TKImage& middle_img() const { return m_middle; }
    const TKImage& right_img() const { return m_right; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TKImage m_left, m_middle, m_right;
};

// A plain view filled with a colour when one is set.
class TKColorBackgroundView : public QWidget {
    Q_OBJECT
public:
    explicit TKColorBackgroundView(QWidget* parent = nullptr);
    void setBackgroundColor(const QColor& color);
    std::optional<QColor> backgroundColor() const { return m_bgcolor; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<QColor> m_bgcolor;
};

// A box filled with the warm grey of the product's frames, drawn under its subviews.
class CustomBackgroundBox : public QWidget {
    Q_OBJECT
public:
    explicit CustomBackgroundBox(QWidget* parent = nullptr);
    static QColor fillColor() { return QColor::fromRgbF(0.416f, 0.373f, 0.357f, 1.0f); }
    void setBackgroundImage(const TKImage& image) { m_backgroundImage = image; }
    const TKImage& backgroundImage() const { return m_backgroundImage; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TKImage m_backgroundImage; // kept, not drawn
};

// Shows one image at its own size, centred; optionally clickable.
class TKImageView : public QWidget {
    Q_OBJECT
public:
    explicit TKImageView(QWidget* parent = nullptr);
    void setImage(const TKImage& image);
    const TKImage& image() const { return m_image; }
    QSize sizeHint() const override;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    TKImage m_image;
};

} // namespace dcv
