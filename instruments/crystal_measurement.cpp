#include "instruments/crystal_measurement.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "instruments/instrument_error.h"
#include "instruments/nanovna_shell.h"

namespace feldan {

namespace {

// The peak of |S21| and its half-power width, as far as the sweep resolves them.
struct Peak {
    double hz = 0;
    double widthHz = 0;
};

// Where |S21| peaks (a parabola through the three largest points), and the width between the
// half-power crossings either side (linearly interpolated; where the sweep has no crossing, two
// steps). Nullopt when no peak stands well above the sweep's median, or when it sits at an end.
std::optional<Peak> PeakOf(const AnalyserSweep& sweep) {
    const std::size_t n = sweep.size();
    if (n < 5) return std::nullopt;
    std::vector<double> power(n);
    for (std::size_t i = 0; i < n; ++i)
        power[i] = std::norm(sweep.s21[i]);
    const std::size_t top =
        std::size_t(std::max_element(power.begin(), power.end()) - power.begin());
    std::vector<double> sorted = power;
    std::nth_element(sorted.begin(), sorted.begin() + n / 2, sorted.end());
    // A series resonance rises tens of dB above the feedthrough of C0; 12 dB is far above noise.
    if (top == 0 || top + 1 == n || !(power[top] > 16 * sorted[n / 2])) return std::nullopt;
    const double* f = sweep.frequencyHz.data();
    const double a = std::sqrt(power[top - 1]), b = std::sqrt(power[top]),
                 c = std::sqrt(power[top + 1]);
    const double curvature = a - 2 * b + c;
    double offset = curvature < 0 ? 0.5 * (a - c) / curvature : 0;
    offset = std::clamp(offset, -0.5, 0.5);
    Peak peak;
    peak.hz = f[top] + offset * (offset < 0 ? f[top] - f[top - 1] : f[top + 1] - f[top]);
    const double half = power[top] / 2;
    const double step = (f[n - 1] - f[0]) / double(n - 1);
    double low = f[top] - 2 * step, high = f[top] + 2 * step;
    for (std::size_t i = top; i > 0; --i) {
        if (power[i - 1] < half) {
            low = f[i - 1] + (f[i] - f[i - 1]) * (half - power[i - 1]) / (power[i] - power[i - 1]);
            break;
        }
    }
    for (std::size_t i = top; i + 1 < n; ++i) {
        if (power[i + 1] < half) {
            high = f[i] + (f[i + 1] - f[i]) * (power[i] - half) / (power[i] - power[i + 1]);
            break;
        }
    }
    peak.widthHz = std::max(high - low, 2 * step);
    return peak;
}

// The noise per component of S21 from two scans of the same frequencies: their difference has
// twice the variance of one in each of its two components.
double NoiseOf(const AnalyserSweep& a, const AnalyserSweep& b) {
    const std::size_t n = std::min(a.size(), b.size());
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i)
        sum += std::norm(a.s21[i] - b.s21[i]);
    return n == 0 ? 0 : std::sqrt(sum / double(n)) / 2;
}

CrystalSweep ThroughSweepOf(const AnalyserSweep& sweep, double fixtureOhm) {
    return CrystalSweep{SweepKind::SeriesThrough, fixtureOhm, sweep.frequencyHz, sweep.s21};
}

}  // namespace

CrystalMeasurement MeasureCrystal(Analyser& analyser, AnalyserIdentity& identity,
                                  const CrystalMeasurementSettings& settings,
                                  const ProgressCallback& progress) {
    CrystalMeasurement result;
    MeasurementContext context{analyser, identity, progress, MeasurementStage::Search, 0};
    AnalyserSweep search, zoom;
    const auto planAround = [&](double centreHz, double spanHz, int points, int averages) {
        return SweepPlan{centreHz - spanHz / 2, centreHz + spanHz / 2, points,
                         averages * std::max(settings.readings, 1), settings.ppm};
    };
    try {
        context.stage = MeasurementStage::Search;
        MeasureSweep(
            context,
            planAround(settings.nominalHz, settings.searchSpanHz, settings.searchPoints, 1),
            search);
        result.sweep = ThroughSweepOf(search, settings.fixtureOhm);
        std::optional<Peak> peak = PeakOf(search);
        if (!peak) {
            const long span = std::lround(settings.searchSpanHz);
            throw PortFault(MessageId::VnaNoCrystal, analyser.Port(), std::to_string(span));
        }

        context.stage = MeasurementStage::Zoom;
        double span = settings.searchSpanHz;
        for (int k = 0; k < settings.maxZooms; ++k) {
            const double wanted = settings.finalSpanWidths * peak->widthHz;
            if (span <= 1.5 * wanted) break;
            span = std::max(span / settings.zoomFactor, wanted);
            // One scan each; a LiteVNA's 65 535 points would only take longer.
            const int points = std::min(identity.maxScanPoints, LargeBoardScanPoints);
            MeasureSweep(context, planAround(peak->hz, span, points, 1), zoom);
            result.sweep = ThroughSweepOf(zoom, settings.fixtureOhm);
            // A zoom that lost the peak (a step in the device's clock, say) keeps the estimate.
            if (const std::optional<Peak> closer = PeakOf(zoom)) peak = closer;
        }

        // Two scans of the final sweep say the noise; as many more as it calls for follow.
        context.stage = MeasurementStage::Average;
        span = settings.finalSpanWidths * peak->widthHz;
        const SweepPlan final = planAround(peak->hz, span, settings.finalPoints, 1);
        AnalyserSweep first, second;
        MeasureSweep(context, final, first);
        MeasureSweep(context, final, second);
        result.noise = NoiseOf(first, second);
        const double ratio = result.noise / settings.noiseTarget;
        result.averages =
            std::clamp(static_cast<int>(std::lround(ratio * ratio)), 2, settings.maxAverages);
        AnalyserSweep averaged = first;
        for (std::size_t i = 0; i < averaged.size(); ++i)
            averaged.s21[i] += second.s21[i];
        if (result.averages > 2) {
            SweepPlan rest = final;
            const int scans = result.averages - 2;
            rest.averages = scans * std::max(settings.readings, 1);
            AnalyserSweep more;
            MeasureSweep(context, rest, more);
            for (std::size_t i = 0; i < averaged.size() && i < more.size(); ++i)
                averaged.s21[i] += more.s21[i] * double(scans);
        }
        for (std::complex<double>& s : averaged.s21)
            s /= result.averages;

        // The fit takes C0 from the far skirts, which only the search sweep reaches.
        CrystalSweep& sweep = result.sweep =
            CrystalSweep{SweepKind::SeriesThrough, settings.fixtureOhm, {}, {}};
        const double low = averaged.frequencyHz.front(), high = averaged.frequencyHz.back();
        for (std::size_t i = 0; i < search.size() && search.frequencyHz[i] < low; ++i) {
            sweep.frequencyHz.push_back(search.frequencyHz[i]);
            sweep.measured.push_back(search.s21[i]);
        }
        sweep.frequencyHz.insert(sweep.frequencyHz.end(), averaged.frequencyHz.begin(),
                                 averaged.frequencyHz.end());
        sweep.measured.insert(sweep.measured.end(), averaged.s21.begin(), averaged.s21.end());
        for (std::size_t i = 0; i < search.size(); ++i) {
            if (search.frequencyHz[i] <= high) continue;
            sweep.frequencyHz.push_back(search.frequencyHz[i]);
            sweep.measured.push_back(search.s21[i]);
        }
    } catch (const InstrumentError& error) {
        result.message = error.message();
        result.scans = context.scansDone;
        return result;
    }
    result.scans = context.scansDone;
    result.fit = FitCrystal(result.sweep.frequencyHz, result.sweep.measured,
                            SweepKind::SeriesThrough, settings.fixtureOhm);
    result.kept = KeptModelOf(*result.fit, result.sweep);
    result.message = FitMessageOf(*result.fit, analyser.Port());
    return result;
}

}  // namespace feldan
