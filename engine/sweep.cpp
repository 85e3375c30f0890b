#include "engine/sweep.h"

#include <cmath>
#include <numbers>

#include "engine/errors.h"
#include "engine/synthesis.h"

namespace feldan {

namespace {

using C = std::complex<double>;

// A 2×2 complex matrix, row by row.
struct Matrix2 {
    C a, b, c, d;
};

Matrix2 Inverse(const Matrix2& m) {
    const C det = m.a * m.d - m.b * m.c;
    return {m.d / det, -m.b / det, -m.c / det, m.a / det};
}

Matrix2 Times(const Matrix2& x, const Matrix2& y) {
    return {x.a * y.a + x.b * y.c, x.a * y.b + x.b * y.d, x.c * y.a + x.d * y.c,
            x.c * y.b + x.d * y.d};
}

}  // namespace

void RenormaliseSParameters(C& s11, C& s21, C& s12, C& s22, double r1, double r2, double r) {
    // Waves referred to r at a port of reference ri: a' = k·(a − Γ·b), b' = k·(b − Γ·a), with
    // Γ = (r − ri)/(r + ri) and k = (ri + r)/(2·√(ri·r)). So S' = K(S − Γ)(I − ΓS)⁻¹K⁻¹. Unlike
    // the way through impedance parameters this holds for every two-port, a through line too.
    const double g1 = (r - r1) / (r + r1), g2 = (r - r2) / (r + r2);
    const double k1 = (r1 + r) / (2 * std::sqrt(r1 * r)), k2 = (r2 + r) / (2 * std::sqrt(r2 * r));
    const Matrix2 s{s11, s12, s21, s22};
    const Matrix2 numerator{s.a - g1, s.b, s.c, s.d - g2};
    const Matrix2 denominator{1.0 - g1 * s.a, -g1 * s.b, -g2 * s.c, 1.0 - g2 * s.d};
    const Matrix2 inner = Times(numerator, Inverse(denominator));
    s11 = inner.a;
    s12 = inner.b * (k1 / k2);
    s21 = inner.c * (k2 / k1);
    s22 = inner.d;
}

double DecibelsOfS(C s) {
    return 20 * std::log10(std::abs(s));
}

double DegreesOf(C s) {
    const double degrees = std::arg(s) * 180 / std::numbers::pi;
    return degrees <= -180 ? degrees + 360 : degrees;
}

DesignedFilter FilterOf(CalculationResult calculation, CircuitChoice circuit, CrystalSetDesign set,
                        std::span<const CrystalModel> crystals) {
    DesignedFilter filter;
    filter.circuit = circuit;
    filter.analysis = std::make_unique<CircuitAnalysis>();
    filter.crystalSet = std::move(set);
    filter.design = std::move(calculation);
    CalculationResult& result = filter.design;
    if (result.outcome == Outcome::Error) return filter;
    if (result.outcome == Outcome::Warning) {
        // An exact design exists only measured; a classic one whose searches stopped is still a
        // circuit to sweep, whose band is not known.
        if (result.exact.exact || !result.designed) return filter;
        filter.bandStop = result.message;
        result.outcome = Outcome::Done;
        result.message = {};
        result.measurements.LowerEdgeHz = result.measurements.UpperEdgeHz = 0;
    }
    filter.values = ElementValuesOf(result.input, result.synthesis);
    if (!crystals.empty()) SetCrystalsOfSet(filter.values, filter.crystalSet, crystals);
    const bool schematic = circuit == CircuitChoice::Schematic;
    filter.portOhm = schematic ? result.synthesis.InputOhm : result.synthesis.TermOhm;
    filter.outputPortOhm = schematic ? result.synthesis.OutputOhm : result.synthesis.OutputTermOhm;
    BuildCircuitOf(filter);
    return filter;
}

void BuildCircuitOf(DesignedFilter& filter) {
    const int type = filter.design.synthesis.Circuit;
    if (filter.circuit == CircuitChoice::Schematic) {
        BuildSchematicNetlist(type, filter.values, filter.portOhm, filter.outputPortOhm,
                              filter.analysis->netlist, &filter.roles);
    } else {
        BuildNetlist(type, filter.values, filter.analysis->netlist, &filter.roles);
    }
    PrepareNetlist(filter.analysis->netlist);
    filter.analysis->DropAhead();
}

DesignedFilter DesignFilter(const DesignFields& design, char separator, CircuitChoice circuit,
                            std::span<const CrystalModel> crystals, bool trim) {
    return FilterOf(RunDesign(design, separator, crystals, trim), circuit);
}

DesignedFilter FilterOf(const Designed& designed, CircuitChoice circuit) {
    return FilterOf(designed.calculation, circuit, designed.set.value_or(CrystalSetDesign{}),
                    designed.crystals);
}

Span SpanOf(const DesignedFilter& filter, const SweepRequest& request) {
    const DesignInput& input = filter.design.input;
    const double foHz = input.FoKHz * 1000;
    // Unasked, three band widths either side of the band's middle as measured: a design whose
    // meshes resonate well above the crystals' series resonance has its band far above Fo.
    const std::optional<PassBand> band = BandOf(filter.design);
    const double middleHz = band ? band->CentreHz() : foHz;
    return {request.fromDetuningHz ? foHz + *request.fromDetuningHz : middleHz - 3 * input.DfHz,
            request.toDetuningHz ? foHz + *request.toDetuningHz : middleHz + 3 * input.DfHz};
}

SweepResult SweepFilter(DesignedFilter& filter, const SweepRequest& request) {
    SweepResult result;
    const Span span = SpanOf(filter, request);
    result.fromHz = span.fromHz;
    result.toHz = span.toHz;
    result.referenceOhm = request.referenceOhm.value_or(filter.portOhm);
    result.outputReferenceOhm = request.referenceOhm.value_or(filter.outputPortOhm);
    const int n = request.points;
    std::vector<double> omegas(static_cast<std::size_t>(n));
    std::vector<double> hz(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        hz[i] =
            n == 1 ? result.fromHz : result.fromHz + (result.toHz - result.fromHz) * i / (n - 1);
        omegas[i] = TwoPi * hz[i];
    }
    std::vector<TwoPortPoint> solved(omegas.size());
    filter.analysis->SweepTwoPort(omegas, solved);

    // Referred to another resistance the group delay is that of the renormalised S21: from its
    // phase at two frequencies close beside each point.
    const bool renormalise =
        request.referenceOhm &&
        (*request.referenceOhm != filter.portOhm || *request.referenceOhm != filter.outputPortOhm);
    std::vector<TwoPortPoint> below, above;
    constexpr double Relative = 1e-7;
    if (renormalise) {
        std::vector<double> beside(omegas.size());
        below.resize(omegas.size());
        above.resize(omegas.size());
        for (std::size_t i = 0; i < omegas.size(); ++i)
            beside[i] = omegas[i] * (1 - Relative);
        filter.analysis->SweepTwoPort(beside, below);
        for (std::size_t i = 0; i < omegas.size(); ++i)
            beside[i] = omegas[i] * (1 + Relative);
        filter.analysis->SweepTwoPort(beside, above);
    }
    const double r = result.referenceOhm;
    const auto referred = [&](TwoPortPoint p) {
        RenormaliseSParameters(p.s11, p.s21, p.s12, p.s22, filter.portOhm, filter.outputPortOhm, r);
        return p;
    };
    result.points.resize(omegas.size());
    for (std::size_t i = 0; i < omegas.size(); ++i) {
        SweepPoint& out = result.points[i];
        out.hz = hz[i];
        TwoPortPoint p = solved[i];
        if (!p.ok) continue;
        out.ok = true;
        out.zin = p.zin;
        out.groupDelaySec = p.groupDelaySec;
        if (renormalise) {
            p = referred(p);
            if (below[i].ok && above[i].ok) {
                const C ratio = referred(above[i]).s21 / referred(below[i]).s21;
                out.groupDelaySec = -std::arg(ratio) / (2 * Relative * omegas[i]);
            }
        }
        out.s11 = p.s11;
        out.s21 = p.s21;
        out.s12 = p.s12;
        out.s22 = p.s22;
    }
    return result;
}

}  // namespace feldan
