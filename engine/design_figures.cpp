#include "engine/design_figures.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/errors.h"
#include "engine/ladder_design.h"
#include "engine/result_text.h"
#include "engine/transient.h"

namespace feldan {

namespace {

// Dots in the train whose gaps are looked at (InterMarkDb looks between the second and third).
constexpr int FigureDots = 5;
// Points of the figures' sweep: a 60 dB width of a narrow CW filter to a few hertz.
constexpr int FigurePoints = 8001;
// The sweep reaches this far below the peak, so that 60 dB lies clear of its ends.
constexpr double FigureFloorDb = 70;

// The skirts `belowPeakDb` under the peak, where that level lies clear of the sweep's floor.
std::optional<SkirtPoints> SkirtAt(const std::vector<double>& hz, const std::vector<double>& db,
                                   double belowPeakDb) {
    if (db.empty()) return std::nullopt;
    const auto [low, high] = std::minmax_element(db.begin(), db.end());
    if (*high - belowPeakDb < *low + NoiseFloorMarginDb) return std::nullopt;
    const std::optional<BandEdges> edges = OutermostCrossings(hz, db, belowPeakDb);
    if (!edges) return std::nullopt;
    return SkirtPoints{edges->lowerHz, edges->upperHz};
}

// The gap between the second and third of a train of dots at `wpm`, in dB under the dots.
std::optional<double> GapBetweenDots(const EnvelopeResponse& response, double delayMs, double wpm) {
    const Keying keying = Keying::Dots(wpm, FigureDots);
    const double dtMs = response.dtSec * 1000;
    const auto samples = std::size_t((keying.EndMs() + response.RecordSec() * 500) / dtMs) + 1;
    return InterMarkDb(KeyedOutput(response, keying, samples), keying, response.dtSec, delayMs);
}

}  // namespace

std::optional<DesignFigures> FiguresOfDesign(DesignedFilter& filter) {
    const std::optional<PassBand> band = BandOf(filter.design);
    if (!band) return std::nullopt;
    const double foHz = filter.design.input.FoKHz * 1000;
    const double centreHz = band->CentreHz();
    const double widthHz = std::max(band->WidthHz(), 1.0);
    SweepRequest request;
    request.circuit = filter.circuit;
    const auto sweep = [&](double fromHz, double toHz, int points, std::vector<double>& hz,
                           std::vector<double>& db) {
        request.fromDetuningHz = fromHz - foHz;
        request.toDetuningHz = toHz - foHz;
        request.points = points;
        hz.clear();
        db.clear();
        for (const SweepPoint& p : SweepFilter(filter, request).points) {
            if (!p.ok) continue;
            hz.push_back(p.hz);
            db.push_back(DecibelsOfS(p.s21));
        }
    };
    std::vector<double> hz, db;
    sweep(band->lowerHz, band->upperHz, 201, hz, db);
    if (db.empty()) return std::nullopt;
    const double peakDb = *std::max_element(db.begin(), db.end());
    double halfSpanHz = 4 * widthHz;
    for (; halfSpanHz < 256 * widthHz; halfSpanHz *= 1.5) {
        sweep(centreHz - halfSpanHz, centreHz + halfSpanHz, 2, hz, db);
        if (db.size() == 2 && db[0] <= peakDb - FigureFloorDb && db[1] <= peakDb - FigureFloorDb)
            break;
    }
    sweep(centreHz - halfSpanHz, centreHz + halfSpanHz, FigurePoints, hz, db);

    DesignFigures figures;
    figures.widths = FiguresOf(hz, db);
    figures.insertionLossDb = -figures.widths.peakDb;
    const auto& w = figures.widths.bandwidthHz;
    if (w[1] && w[3] && *w[1] > 0) figures.shapeFactor = *w[3] / *w[1];
    figures.skirt20 = SkirtAt(hz, db, 20);
    figures.skirt30 = SkirtAt(hz, db, 30);

    if (!UsesCk(filter.design.input.filterType) && widthHz > CwFigureWidthHz) return figures;
    try {
        const EnvelopeResponse response = EnvelopeOf(SpectrumOfFilter(filter));
        const double delayMs = StepFigures(response).delayMs.value_or(0);
        const auto passes = [&](double wpm) {
            const std::optional<double> gap = GapBetweenDots(response, delayMs, wpm);
            return gap && *gap <= DotGapDb;
        };
        if (passes(FastestWpm)) {
            figures.fastestWpm = FastestWpm;
            figures.wpmAbove = true;
        } else if (passes(SlowestWpm)) {
            // Bisected on a log scale: the gap deepens as the dots slow.
            double lo = SlowestWpm, hi = FastestWpm;
            while (hi - lo > 0.5) {
                const double mid = std::sqrt(lo * hi);
                (passes(mid) ? lo : hi) = mid;
            }
            figures.fastestWpm = std::floor(lo);
        }
    } catch (const CommandError&) {
        // A record too long to take: no CW figure, the others stand.
    }
    return figures;
}

std::string DesignFiguresText(const DesignFigures& figures, char separator, Language language) {
    const bool english = language == Language::English;
    const auto whole = [&](double value) {
        return FormatGeneral(std::round(value), 10, separator);
    };
    const auto kilohertz = [&](double hz) {
        return FormatGeneral(std::round(hz / 10) / 100, 12, separator);
    };
    const char* db = english ? " dB" : " дБ";
    const char* hz = english ? " Hz" : " Гц";
    std::string text = english ? "Widths:" : "Полоса:";
    bool first = true;
    for (std::size_t k = 0; k < FigureLevelsDb.size(); ++k) {
        const std::optional<double>& width = figures.widths.bandwidthHz[k];
        if (!width) continue;
        text += (first ? " −" : "; −") + whole(FigureLevelsDb[k]) + db + " " + whole(*width) + hz;
        first = false;
    }
    if (first) text += english ? " not measured" : " не измерена";
    text += '\n';
    if (figures.shapeFactor) {
        text += (english ? "Shape factor 60/6 = " : "Kп(60/6)=") +
                FormatGeneral(*figures.shapeFactor, 3, separator) + "; ";
    }
    text += (english ? "loss " : "потери ") + FormatGeneral(figures.insertionLossDb, 3, separator) +
            db + '\n';
    std::string skirts;
    for (const auto& [level, skirt] : {std::pair{20, &figures.skirt20}, {30, &figures.skirt30}}) {
        if (!*skirt) continue;
        skirts += (skirts.empty() ? "−" : "; −") + std::to_string(level) + db + ": " +
                  kilohertz((*skirt)->lowerHz) + (english ? " and " : " и ") +
                  kilohertz((*skirt)->upperHz) + (english ? " kHz" : " кГц");
    }
    text += skirts;
    if (figures.fastestWpm) {
        text += '\n';
        text += english ? "CW: dots apart by 20 dB up to " : "CW: точки разделены на 20 дБ до ";
        text += (figures.wpmAbove ? "≥" : "") + whole(*figures.fastestWpm) + " WPM";
    }
    return text;
}

}  // namespace feldan
