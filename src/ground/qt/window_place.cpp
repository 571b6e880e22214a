#include "ground/qt/window_place.h"

#include "ground/settings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace kelvo {
namespace {
QSize screen_size()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().size() : QSize(1280, 800);
}
}  // namespace

void restore_window_position(QWidget* window)
{
    const QSize screen = screen_size();
    const int left = read_setting_integer("Window Left", screen.width() / 2) - window->width() / 2;
    const int top = read_setting_integer("Window Top", screen.height() / 2) - window->height() / 2;
    window->move(left, top);
}

void centre_on_screen(QWidget* window)
{
    const QSize screen = screen_size();
    window->move((screen.width() - window->width()) / 2, (screen.height() - window->height()) / 2);
}

void store_window_centre(const QWidget* window)
{
    write_setting_integer("Window Left", window->x() + window->width() / 2);
    write_setting_integer("Window Top", window->y() + window->height() / 2);
}

}  // namespace kelvo
