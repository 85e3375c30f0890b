// A view that records what a calculation does to the window, and keeps a chart of five series
// and five status panels the way the window would show them.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/calculate_view.h"

namespace feldan::test {

class RecordingView : public CalculateView {
  public:
    bool OverlayMode() const override { return overlay; }
    void ClearSeries(int position) override {
        events.push_back("clear " + std::to_string(position));
        series.at(static_cast<std::size_t>(position)).clear();
    }
    void AddCurve(int position, std::span<const CurvePoint> points) override {
        events.push_back("curve " + std::to_string(position) + " " + std::to_string(points.size()));
        auto& target = series.at(static_cast<std::size_t>(position));
        target.insert(target.end(), points.begin(), points.end());
    }
    void SetStatusPanel(int position, const std::string& text) override {
        events.push_back("panel " + std::to_string(position) + " " + text);
        panels.at(static_cast<std::size_t>(position)) = text;
    }
    void SetBusyCursor(bool on) override {
        events.push_back(on ? "busy" : "default cursor");
        busy = on;
    }
    void ShowWarning(const std::string& text) override {
        events.push_back("warning " + text);
        warnings.push_back(text);
    }
    void ShowResultBox() override { resultBoxVisible = true; }
    void ClearResultText() override {
        events.push_back("clear text");
        resultText.clear();
    }
    void SetResultText(const std::string& text) override {
        events.push_back("text");
        resultText = text;
    }

    // Events of one kind ("curve", "panel", ...), in order.
    std::vector<std::string> EventsStartingWith(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const std::string& event : events) {
            if (event.rfind(prefix, 0) == 0) found.push_back(event);
        }
        return found;
    }

    bool overlay = false;
    std::vector<std::string> events;
    std::vector<std::string> warnings;
    std::array<std::vector<CurvePoint>, SeriesCount> series;
    std::array<std::string, SeriesCount> panels;
    bool busy = false;
    bool resultBoxVisible = false;
    std::string resultText;
};

}  // namespace feldan::test
