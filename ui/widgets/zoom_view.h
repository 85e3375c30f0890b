// A chart view that zooms as the main chart does: a dragged rectangle zooms in, the wheel
// zooms the horizontal axis around the cursor, the right button shows the whole view again.
// Its axes keep labels at round steps whatever range they are given.
#pragma once

#include <QChartView>

class QValueAxis;

namespace feldan {

class ZoomView : public QChartView {
  public:
    explicit ZoomView(QWidget* parent = nullptr);
    // A view of `chart`, which it takes.
    ZoomView(QChart* chart, QWidget* parent);

    // Zooms the horizontal axis around the value under `viewPoint`: by `factor` < 1 in, > 1 out.
    void ZoomAround(QPointF viewPoint, double factor);
    // Keeps about `count` labels at round steps (no finer than `smallest`, at most `mostDecimals`
    // decimals) on `axis` whatever range it is given, also by a dragged rectangle.
    void KeepRoundTicks(QValueAxis* axis, int count, double smallest, int mostDecimals);

  protected:
    // The whole view again, as before any zoom.
    virtual void ShowWhole() = 0;
    // The narrowest span the wheel zooms the horizontal axis to.
    virtual double SmallestSpan() const { return 1e-3; }

    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
};

// Sets the range of `axis` with about `count` labels at round steps inside it, with as many
// decimals as the step needs (at most `mostDecimals`) and a step no finer than `smallest`.
void SetRoundAxisRange(QValueAxis* axis, double low, double high, int count, double smallest,
                       int mostDecimals);

// A tick interval of 1, 2 or 5 times a power of ten that splits `span` into about `count`
// steps, never below `smallest`.
double NiceTickInterval(double span, int count, double smallest);

// The decimals that labels at multiples of `interval` need, kept between `fewest` and `most`:
// the detuning axis shows one to three decimals, the attenuation axis one or two.
int LabelDecimals(double interval, int fewest, int most);

}  // namespace feldan
