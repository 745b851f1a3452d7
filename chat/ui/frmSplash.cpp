#include "frmSplash.h"

#include "Resources.h"
#include "Twips.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

namespace lanyx::ui {

namespace {
class Dot : public QWidget {
public:
    Dot(frmSplash* splash, QWidget* parent) : QWidget(parent), splash_(splash) { setFixedSize(22, 22); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const double radius = width() / 2.0 - 3;
        p.setPen(Qt::NoPen);
        p.setBrush(frmSplash::dotColour(splash_->counter()));
        p.drawEllipse(QPointF(width() / 2.0, height() / 2.0), radius, radius);
    }

private:
    frmSplash* splash_;
};
}  // namespace

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    EnsureResources();
    setObjectName("frmSplash");
    auto* logo = new QLabel(this);
    logo->setPixmap(QIcon(QStringLiteral(":/lanyx/logo.svg")).pixmap(48, 48));
    auto* name = new QLabel(QStringLiteral("Lanyx"), this);
    QFont f = name->font();
    f.setPointSize(f.pointSize() + 6);
    f.setBold(true);
    name->setFont(f);
    version_ = new QLabel(this);
    picDot_ = new Dot(this, this);
    auto* texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addWidget(version_);
    auto* row = new QHBoxLayout(this);
    row->addWidget(logo);
    row->addLayout(texts, 1);
    row->addWidget(picDot_, 0, Qt::AlignBottom);
    setAutoFillBackground(true);
    // The pulse runs as fast as a desktop timer usually fires (about 64 times a second).
    timer_ = new QTimer(this);
    timer_->setInterval(15);
    connect(timer_, &QTimer::timeout, this, &frmSplash::tick);
}

void frmSplash::setVersion(const QString& text) {
    version_->setText(text);
}

int frmSplash::nextCounter(int counter) {
    counter += 5;
    return counter > 200 ? 0 : counter;
}

QColor frmSplash::dotColour(int counter) {
    const int v = counter > 100 ? 200 - counter : counter;
    auto channel = [](double x) { return std::clamp(static_cast<int>(std::lround(x)), 0, 255); };
    return QColor(channel(2.56 * (100 - v)), channel(2.56 * v), 0);
}

void frmSplash::tick() {
    counter_ = nextCounter(counter_);
    picDot_->update();
}

void frmSplash::showInCorner() {
    adjustSize();
    const QScreen* s = screen();
    const QRect area = s ? s->availableGeometry() : QRect(0, 0, 800, 600);
    move(CornerPosition(3, area, frameGeometry().size()));
    show();
    raise();
    timer_->start();
}

void frmSplash::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    timer_->stop();
}

void frmSplash::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    QPainter p(this);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace lanyx::ui
