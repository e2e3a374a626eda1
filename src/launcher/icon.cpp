#include "icon.h"

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QWidget>

namespace launcher {

namespace {

// Drawn on a 64-unit grid. Below 32 pixels the ruled lines would blur into grey, so the
// small images keep only the page and a bolder check.
QImage draw(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    const bool small = size < 32;

    QLinearGradient tile(0, 0, 0, 64);
    tile.setColorAt(0, QColor(0x2a, 0x8a, 0x8a));
    tile.setColorAt(1, QColor(0x00, 0x40, 0x40));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(1, 1, 62, 62), 12, 12);

    p.setBrush(QColor(0xfb, 0xfb, 0xf4));
    p.drawRoundedRect(small ? QRectF(12, 8, 40, 48) : QRectF(14, 9, 36, 46), 4, 4);

    if (!small) {
        p.setPen(QPen(QColor(0x4f, 0x7d, 0xa8), 2.5, Qt::SolidLine, Qt::FlatCap));
        for (double y : {19.0, 27.0, 35.0, 43.0}) p.drawLine(QPointF(20, y), QPointF(44, y));
        p.setPen(QPen(QColor(0xc0, 0x39, 0x2b), 2, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(26, 13), QPointF(26, 51));
    }

    QPainterPath check;
    check.moveTo(22, 36);
    check.lineTo(31, 46);
    check.lineTo(50, 22);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xd9, 0x3a, 0x24), small ? 9 : 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(check);
    return image;
}

}  // namespace

const QIcon& launcher_icon() {
    static const QIcon icon = [] {
        QIcon i;
        for (int size : kIconSizes) i.addPixmap(QPixmap::fromImage(draw(size)));
        return i;
    }();
    return icon;
}

void use_launcher_icon() {
    static bool given = false;
    if (given) return;
    given = true;
    qApp->setWindowIcon(launcher_icon());
}

namespace {

// Waits for the window's first paint; the icon follows once that picture has gone out.
class AfterFirstPaint : public QObject {
public:
    explicit AfterFirstPaint(QWidget* window) : QObject(window) { window->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Paint && watched == parent()) {
            watched->removeEventFilter(this);
            // Queued: the paint is put on the screen before the loop turns again.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    use_launcher_icon();
                    deleteLater();
                },
                Qt::QueuedConnection);
        }
        return false;
    }
};

class BoxesWithIcon final : public platform::MessageBox {
public:
    explicit BoxesWithIcon(std::unique_ptr<platform::MessageBox> boxes) : boxes_(std::move(boxes)) {}
    platform::MbResult show(const platform::MessageBoxSpec& request) override {
        use_launcher_icon();
        return boxes_->show(request);
    }

private:
    std::unique_ptr<platform::MessageBox> boxes_;
};

}  // namespace

void use_launcher_icon_once_drawn(QWidget* window) { new AfterFirstPaint(window); }

std::unique_ptr<platform::MessageBox> with_launcher_icon(std::unique_ptr<platform::MessageBox> boxes) {
    return std::make_unique<BoxesWithIcon>(std::move(boxes));
}

}  // namespace launcher
