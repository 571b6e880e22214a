#include "app/qt/kelvo_splash.h"

#include "ground/qt/resources.h"
#include "ground/qt/window_place.h"

#include <QLabel>
#include <QVBoxLayout>

namespace kelvo {

Tkelvo_splash::Tkelvo_splash(QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    init_resources();
    setObjectName("kelvo_splash");
    picture = new QLabel(this);
    picture->setObjectName("picture");
    picture->setPixmap(QPixmap(":/images/splash.png"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picture);
    setLayout(layout);
    adjustSize();
    setFixedSize(sizeHint());
    restore_window_position(this);
}

void Tkelvo_splash::showEvent(QShowEvent* event)
{
    setCursor(Qt::WaitCursor);
    QDialog::showEvent(event);
}

}  // namespace kelvo
