#pragma once
// `Tkelvo_splash`: the borderless picture shown while start-up talks to the
// instrument. Start-up decides when it is shown and closed.
#include <QDialog>

class QLabel;

namespace kelvo {

class Tkelvo_splash : public QDialog {
    Q_OBJECT
public:
    // Placed, like the main window, on the stored window centre.
    explicit Tkelvo_splash(QWidget* parent = nullptr);
    QLabel* picture = nullptr;

protected:
    // The hourglass while the splash is up (on the splash itself, so that
    // closing it leaves no cursor behind).
    void showEvent(QShowEvent* event) override;
};

}  // namespace kelvo
