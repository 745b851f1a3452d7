#pragma once
// The splash window in the corner of the work area while the program
// listens for its peers: the version and a pulsing dot.
#include <QWidget>

class QLabel;
class QTimer;

namespace lanyx::ui {

class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);
    void setVersion(const QString& text);
    // Bottom-right corner of the work area, on top of other windows.
    void showInCorner();
    Q_INVOKABLE void SetLan() {}

    // One step of the pulse: counter, and the dot's colour for it.
    static int nextCounter(int counter);
    static QColor dotColour(int counter);
    int counter() const { return counter_; }
    void tick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QLabel* version_;
    QWidget* picDot_;
    QTimer* timer_;
    int counter_ = 0;
};

}  // namespace lanyx::ui
