#pragma once
// A stand-in for a graphics window in tests: shows a picture box and forwards its Qt input, through the
// program's input mapping, to the graphics window handlers as window 0.
#include "graphics/keyboard.h"
#include "graphics/mouse.h"
#include "graphics/view_state.h"
#include "platform/MouseInput.h"
#include "platform/PictureBox.h"

#include <QPainter>
#include <QWidget>

#include <memory>

class PictureWindow : public QWidget {
public:
    explicit PictureWindow(PictureBox &picture) : picture_(picture) {
        resize(picture.PixelWidth(), picture.PixelHeight());
        setFocusPolicy(Qt::StrongFocus);
        MouseInputAdapter::Handlers handlers;
        handlers.press = [this](int button, int shift, float x, float y) {
            ++presses;
            WindowPressEvent(0, button, shift, x, y);
        };
        handlers.move = [](int buttons, int shift, float x, float y) {
            WindowMoveEvent(0, buttons, shift, x, y);
        };
        handlers.release = [this](int button, int shift, float x, float y) {
            ++releases;
            WindowReleaseEvent(0, button, shift, x, y);
        };
        handlers.wheel = [](int keys, int rotation, int x, int y) { WheelEvent(0, keys, rotation, x, y); };
        handlers.key = [](int code) { KeyCommand(code); };
        input = std::make_unique<MouseInputAdapter>(this, &picture_, handlers);
        picture_.Changed = [this] { update(); };
    }
    ~PictureWindow() override { picture_.Changed = nullptr; }

    std::unique_ptr<MouseInputAdapter> input;
    int presses = 0, releases = 0;

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        p.drawImage(0, 0, picture_.Image());
    }

private:
    PictureBox &picture_;
};
