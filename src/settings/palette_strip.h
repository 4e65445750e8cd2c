#pragma once
// The settings dialog's palette: the 16 standard colours in a vertical strip, one unit of its height per
// colour from the top; a press reports where it fell in those units.
#include <QWidget>

class PaletteStrip : public QWidget {
    Q_OBJECT
public:
    explicit PaletteStrip(QWidget *parent = nullptr);
    static constexpr int Colours = 16;

signals:
    void Pressed(double y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
};
