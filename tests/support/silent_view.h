// A view that records nothing: for timing whole calculations and for counting what they
// allocate, where a recording view would itself be measured.
#pragma once

#include <span>
#include <string>

#include "engine/calculate_view.h"

namespace feldan::testsupport {

class SilentView : public CalculateView {
  public:
    bool OverlayMode() const override { return false; }
    void ClearSeries(int) override {}
    void AddCurve(int, std::span<const CurvePoint> points) override {
        lastCurvePoints = points.size();
    }
    void SetStatusPanel(int, const std::string&) override {}
    void SetBusyCursor(bool) override {}
    void ShowWarning(const std::string&) override { ++warnings; }
    void ShowResultBox() override {}
    void ClearResultText() override {}
    void SetResultText(const std::string&) override {}

    // Enough to tell that a command ran to its end without storing anything.
    std::size_t lastCurvePoints = 0;
    int warnings = 0;
};

}  // namespace feldan::testsupport
