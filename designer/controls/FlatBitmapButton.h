#pragma once
// A flat button showing a bitmap: no frame until the mouse is over it
// (raised), sunken while pressed or checked. The bitmap holds two images side
// by side: the left one for the normal state, the right one when hot or
// pressed. Magenta is transparent. The caption is not drawn; it is the tool
// tip text.

#include <QAbstractButton>
#include <QPixmap>

class CFlatBitmapButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CFlatBitmapButton(QWidget* parent = nullptr, int controlId = 0);

    void SetBitmap(const QPixmap& twoImages);
    int ControlId() const { return m_controlId; }
    bool IsHot() const { return m_hot; }
    QSize sizeHint() const override;

Q_SIGNALS:
    // The click as a command of the parent: the button's control id.
    void Command(int controlId);

protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    int m_controlId;
    bool m_hot = false;
    QPixmap m_normal;
    QPixmap m_hotImage;
};
