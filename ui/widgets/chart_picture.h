// What a picture of the chart takes from it, and no more: the exporter draws the window's chart
// through this without holding the widget or knowing Qt Charts.
#pragma once

#include <QRectF>
#include <QSize>
#include <QSizeF>

class QPainter;

namespace feldan {

class ChartPicture {
  public:
    virtual ~ChartPicture() = default;
    // The chart as it stands on the screen, at its size there.
    virtual QSize ShownSize() const = 0;
    virtual void DrawAsShown(QPainter& painter) = 0;
    // The chart laid out afresh at `laidOut` and drawn in vectors filling `target`; the screen
    // keeps its layout.
    virtual void DrawLaidOut(QPainter& painter, const QRectF& target, const QSizeF& laidOut) = 0;
};

}  // namespace feldan
