#pragma once

#include "widgets/TKImage.h"
#include "widgets/TKImageButtonCell.h"

#include <QAbstractButton>
#include <QRect>
#include <memory>

namespace dcv {

// An image-only button with a roll-over image ("_f") and a pressed image ("_p") found by the
// name of its normal image; a text button when it is given a cell and a title.
class TKImageButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit TKImageButton(QWidget* parent = nullptr);
    explicit TKImageButton(const QString& imageName, QWidget* parent = nullptr);
    ~TKImageButton() override;

    // Sets the normal image by name and derives the other images from it.
    void setImageName(const QString& name);
    void setImage(const TKImage& image);
    const TKImage& image() const { return m_image; }

    TKImage buttonImageNameWithSuffix(const QString& suffix) const;

    const TKImage& activeImage() const { return m_activeImage; }
    const TKImage& activeNotKeyWindowImage() const { return m_activeNotKeyWindowImage; }
    const TKImage& inactiveImage() const { return m_inactiveImage; }
    const TKImage& rolloverImage() const { return m_rolloverImage; }
    const TKImage& pressedImage() const { return m_pressedImage; }
    // The image painted now (roll-over, active, inactive, or pressed while held down); a
    // missing variant falls back to the normal image.
    TKImage displayedImage() const;

    qint64 numberOfCaptures() const { return m_numberOfCaptures; }
    void setNumberOfCaptures(qint64 n);
    void resetMouseCaptures();
    bool shouldDisplayRollOver() const { return m_numberOfCaptures > 0; }

    // The area whose entry and exit count as captures: the bounds grown by 4 on every side.
    QRect mouseTrackingArea() const { return m_mouseTrackingArea; }
    void updateTrackingAreas();

    void mouseEntered();
    void mouseExited();
    void updateRollOverImage();
    void updateImage();
    void updateActiveImage();

    // Text buttons draw their background through a cell.
    void setCell(std::unique_ptr<TKImageButtonCell> cell);
    TKImageButtonCell* cell() const { return m_cell.get(); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    void setUp();

    TKImage m_image;
    TKImage m_activeImage, m_activeNotKeyWindowImage, m_inactiveImage, m_rolloverImage, m_pressedImage;
    TKImage m_shown;
    qint64 m_numberOfCaptures = 0;
    QRect m_mouseTrackingArea;
    std::unique_ptr<TKImageButtonCell> m_cell;
};

} // namespace dcv
