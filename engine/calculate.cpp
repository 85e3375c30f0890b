#include "engine/calculate.h"

#include <string>

#include "engine/messages.h"
#include "engine/number_text.h"
#include "engine/result_text.h"
#include "engine/synthesis.h"

namespace feldan {

FilterDesigner::FilterDesigner(char separator) : separator_(separator) {
    // The sweep stops after MaxSearchSteps analysed steps, so this never grows.
    curve_.reserve(MaxSearchSteps + 1);
}

void FilterDesigner::CalculateClick(const InputTexts& texts, CalculateView& view) {
    const bool overlay = view.OverlayMode();
    curve_.clear();
    curveHandedOver_ = false;
    steps_ = StepCounts{};

    // Chart preparation.
    if (!overlay) view.ClearSeries(0);
    if (state.CurveCount > SeriesCount - 1) {
        state.CurveCount = 0;
        for (int position = 0; position < SeriesCount; ++position) {
            view.ClearSeries(position);
            view.SetStatusPanel(position, "");
        }
    }

    bool busy = false;
    try {
        RunCommand(texts, view, overlay, busy);
    } catch (...) {
        // A conversion error abandons the command; a serious tool never leaves the busy cursor
        // behind. The curve counter stays, as for every abandoned command.
        if (busy) view.SetBusyCursor(false);
        throw;
    }
    view.SetBusyCursor(false);
    ++state.CurveCount;
}

void FilterDesigner::HandOverCurve(CalculateView& view, int position) {
    if (curveHandedOver_ || curve_.empty()) return;
    curveHandedOver_ = true;
    view.AddCurve(position, curve_);
}

FilterDesigner::Outcome FilterDesigner::Stop(CalculateView& view, const char* message,
                                             int position) {
    // The points of a sweep cut short are still shown; hand them over before the box appears.
    HandOverCurve(view, position);
    view.ShowWarning(message);
    return Outcome::Stopped;
}

FilterDesigner::Outcome FilterDesigner::RunCommand(const InputTexts& texts, CalculateView& view,
                                                   bool overlay, bool& busy) {
    if (!RunDesign(state, circuit, texts, view, separator_)) return Outcome::Stopped;

    view.SetBusyCursor(true);
    busy = true;

    if (texts.Level.empty()) return Stop(view, MissingLevelText, 0);
    state.LevelDb = FieldTextToFloat(texts.Level, separator_);
    if (state.LevelDb >= 0) return Stop(view, BadLevelText, 0);

    // Peak search: upward from Fo to the first maximum.
    const double foHz = state.FoKHz * 1000;
    state.FreqHz = foHz;
    double peakDb = state.ResponseDb;
    state.PeakHz = state.FreqHz;
    state.AminDb = -6 - peakDb;
    do {
        ++steps_.PeakSteps;
        if (!AnalyseAt(state, circuit, state.FreqHz + 1, 1)) return Stop(view, NoSolutionText, 0);
        if (steps_.PeakSteps > MaxSearchSteps) return Stop(view, BandLimitText, 0);
        if (state.ResponseDb > peakDb) {
            peakDb = state.ResponseDb;
            state.PeakHz = state.FreqHz;
            state.AminDb = -6 - state.ResponseDb;
        }
    } while (state.ResponseDb >= peakDb);

    // Lower band edge: upward when Fo lies below the band, else downward.
    const double levelDb = peakDb + state.LevelDb;
    state.FreqHz = foHz;
    if (levelDb >= state.RespAtFoDb) {
        do {
            ++steps_.EdgeSteps;
            if (!AnalyseAt(state, circuit, state.FreqHz + 1, 1)) {
                return Stop(view, NoSolutionText, 0);
            }
            if (steps_.EdgeSteps > MaxSearchSteps) return Stop(view, BandLimitText, 0);
            state.LowerEdgeHz = state.FreqHz;
        } while (state.ResponseDb <= levelDb);
    } else {
        do {
            ++steps_.EdgeSteps;
            if (!AnalyseAt(state, circuit, state.FreqHz - 1, -1)) {
                return Stop(view, NoSolutionText, 0);
            }
            if (steps_.EdgeSteps > MaxSearchSteps) return Stop(view, BandLimitText, 0);
            state.LowerEdgeHz = state.FreqHz;
        } while (state.ResponseDb >= levelDb);
    }

    // Plot sweep across the band, up to the first frequency below the level above it.
    state.FreqHz = state.LowerEdgeHz;
    if (state.CurveCount == 0) {
        for (int position = 0; position < SeriesCount; ++position) {
            view.ClearSeries(position);
            view.SetStatusPanel(position, "");
        }
    }
    const int position = overlay ? state.CurveCount : 0;
    do {
        ++steps_.SweepSteps;
        if (!AnalyseAt(state, circuit, state.FreqHz + 1, 1)) {
            return Stop(view, NoSolutionText, position);
        }
        // A response that never falls below the level above the band would sweep forever.
        if (steps_.SweepSteps > MaxSearchSteps) return Stop(view, BandLimitText, position);
        curve_.push_back({(state.FreqHz - foHz) / 1000, state.ResponseDb + 6});
        state.UpperEdgeHz = state.FreqHz;
    } while (state.ResponseDb >= levelDb);
    HandOverCurve(view, position);

    state.MeasuredDfHz = state.UpperEdgeHz - state.LowerEdgeHz;

    if (overlay) {
        state.CkText =
            state.CkPF != 0 ? "Ck=" + FormatGeneral(state.CkPF, 4, separator_) + " пФ" : "";
        view.SetStatusPanel(state.CurveCount, "АЧХ" + std::to_string(state.CurveCount + 1) + ": " +
                                                  state.PrototypeName + texts.Df + "; " +
                                                  state.CkText);
    }

    ShowResultText(state, view, separator_);
    return Outcome::Finished;
}

}  // namespace feldan
