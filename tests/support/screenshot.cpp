#include "support/screenshot.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QString>
#include <QWidget>

#include "support/build_paths.h"

namespace fakes {

bool save_screenshot(const std::string& file_name, QWidget* window) {
    QScreen* screen = window ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return false;
    const QPixmap shot = screen->grabWindow(window ? window->winId() : 0);
    return !shot.isNull() && shot.save(QString::fromStdString(shot_path(file_name)));
}

}  // namespace fakes
