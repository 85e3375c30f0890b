// The seam between a calculation and whatever shows it: the desktop window, the command-line
// tool, or a test that records what happened.
#pragma once

#include <span>
#include <string>

namespace feldan {

// One chart point: x = detuning from Fo in kHz, y = attenuation in dB.
struct CurvePoint {
    double x;
    double y;
};

// The seven input texts exactly as typed.
struct InputTexts {
    std::string Fo = "8861.736";  // Edit1, kHz
    std::string Df = "3100";      // Edit2, Hz
    std::string Ld = "10.1";      // Edit3, mH
    std::string Cs = "6.3";       // Edit4, pF
    std::string Rd = "5.7";       // Edit6, Ohm
    std::string Ck = "91";        // Edit11, pF
    std::string Level = "-3";     // Edit5, dB
};

inline constexpr int SeriesCount = 5;

class CalculateView {
  public:
    virtual ~CalculateView() = default;

    // The check state of "Наложения".
    virtual bool OverlayMode() const = 0;
    // Remove all points of the series at position 0..4.
    virtual void ClearSeries(int position) = 0;
    // Add the points of a curve, in ascending x, to the series at a position, in one call.
    virtual void AddCurve(int position, std::span<const CurvePoint> points) = 0;
    // Text of the StatusBar1 panel at position 0..4.
    virtual void SetStatusPanel(int position, const std::string& text) = 0;
    virtual void SetBusyCursor(bool busy) = 0;
    // A warning box with one OK button; lines are separated by '\r'.
    virtual void ShowWarning(const std::string& text) = 0;
    virtual void ShowResultBox() = 0;
    virtual void ClearResultText() = 0;
    // The result text; lines are separated by '\r'.
    virtual void SetResultText(const std::string& text) = 0;
};

}  // namespace feldan
