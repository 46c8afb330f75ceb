#ifndef QUICKPLOT_H
#define QUICKPLOT_H

#include <qcustomplot.h>

// A QCustomPlot that costs less at every redraw and shows the same picture.
//
// The stock plot clears its buffer to transparent, fills the widget with its background and blends
// the buffer over it, after Qt has painted the window's background beneath. Here the buffer is
// cleared to the plot's own background colour and copied onto the window as it is, and nothing is
// painted beneath: each pixel is moved once instead of four times. Only the first buffer is made
// opaque (the one with the background, grid, curves, axes and legend); a layer made buffered keeps
// its own transparent buffer over it.
//
// The legend's entries keep their text laid out: the stock entries shape their names again twice
// for every layout and once more to draw them, at every redraw.
class QuickPlot : public QCustomPlot {
    Q_OBJECT

public:
    explicit QuickPlot(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void prepareRedraw();
    bool paintsOpaque() const;
};

#endif // QUICKPLOT_H
