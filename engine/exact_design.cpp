#include "engine/exact_design.h"

#include "engine/ladder_design.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>
#include <string>

#include "circuit/analysis.h"
#include "engine/crystal_set.h"
#include "engine/errors.h"
#include "engine/number_text.h"
#include "engine/prototype.h"
#include "engine/result_text.h"
#include "engine/synthesis.h"

namespace feldan {

CrystalReactance ReactanceOf(const Resonator& c, double omega) {
    const double motional = omega * c.LmH - 1 / (omega * c.CmF);
    const double motionalSlope = c.LmH + 1 / (omega * omega * c.CmF);
    double x = motional;
    double slope = motionalSlope;
    if (c.C0F > 0) {
        // Two reactances in parallel: X = Xm·Xc/(Xm + Xc), X' = (Xc²·Xm' + Xm²·Xc')/(Xm + Xc)².
        const double stat = -1 / (omega * c.C0F);
        const double statSlope = 1 / (omega * omega * c.C0F);
        const double sum = motional + stat;
        x = motional * stat / sum;
        slope = (stat * stat * motionalSlope + motional * motional * statSlope) / (sum * sum);
    }
    if (c.TrimF > 0) {
        x -= 1 / (omega * c.TrimF);
        slope += 1 / (omega * omega * c.TrimF);
    }
    return {x, slope / 2};
}

namespace {

// The resistance the crystal's loss shows at its terminals (a trim adds none).
double LossOhm(const Resonator& c, double omega) {
    const std::complex<double> motional(c.RmOhm, omega * c.LmH - 1 / (omega * c.CmF));
    if (!(c.C0F > 0)) return c.RmOhm;
    const std::complex<double> stat(0, -1 / (omega * c.C0F));
    return (motional * stat / (motional + stat)).real();
}

// The narrowest design leaves this share of the termination after the crystal's loss: nearly
// none, yet a source and a load that still pass a signal.
constexpr double NarrowestTerminationShare = 1e-3;

// How close, relative to the mesh frequency's place, the two sides of a jump of the width are
// taken to meet: the design bandwidth then differs by a few thousandths of a hertz.
constexpr double JumpResolution = 1e-6;

// The designs a result within the tolerance may take to name dF to the hertz.
constexpr int SettleDesigns = 4;

// Grid of the search for the widest design, and the bisections' steps.
constexpr int WidestGridPoints = 240;
constexpr int RefineSteps = 60;

bool Physical(const Resonator& c) {
    const auto positive = [](double v) { return std::isfinite(v) && v > 0; };
    return positive(c.LmH) && positive(c.CmF) && positive(c.RmOhm) && std::isfinite(c.C0F) &&
           c.C0F >= 0 && std::isfinite(c.TrimF) && c.TrimF >= 0;
}

std::string WholeHertz(double hz) {
    return std::to_string(static_cast<long long>(hz));
}

// One design of the iteration, measured.
struct Trial {
    double t = 0;
    double g = 0;  // interpolated width less its target; ±infinity beyond the searches
    MessageId stop = MessageId::None;
    bool within = false;    // the width Расчет measures is within ExactToleranceHz of dF
    double widthHz = 0;     // the width Расчет would name for this design (interpolated)
    double peakHz = 0;      // the first peak, which the level is measured from
    double measuredHz = 0;  // the width as Расчет measures it
};

class ExactRun {
  public:
    ExactRun(const DesignFields& design, char separator,
             const std::function<void(ElementValues&)>& revalue,
             const std::optional<Resonator>& designCrystal, CalculationResult& result)
        : design_(design),
          separator_(separator),
          revalue_(revalue),
          designCrystal_(designCrystal),
          result_(result),
          circuit_(std::make_unique<CircuitAnalysis>()) {}

    // The classic design run and the level, the crystal, and the band's two limits measured.
    // MessageId::None when the iteration may start.
    MessageId Prepare();
    // The iteration on the mesh frequency, until the width is dF.
    MessageId Iterate();
    int Designs() const { return designs_; }

  private:
    double OmegaAt(double t) const { return omegaS_ + (omegaTop_ - omegaS_) * t; }
    // The loss of the end mesh's crystals at ω: a QER ladder's end is two in parallel.
    double EndLossOhm(double omega) const {
        return LossOhm(crystal_, omega) / (IsQer(input_.filterType) ? 2 : 1);
    }
    void Synthesize(double ldMH, double dfHz, double lossOhm, double atKHz, Synthesis& s) const;
    // 1/C of the first mesh's capacitors, in 1/F: what tunes it with the crystal.
    double MeshElastance(double leffH, double dfHz) const;
    // The design bandwidth whose first mesh resonates at OmegaAt(t).
    double DesignDfAt(double t) const;
    // The design whose meshes resonate at OmegaAt(t): false when it needs a termination or a
    // capacitor of 0 or less.
    bool DesignAt(double t, Synthesis& synthesis) const;
    // The lowest t at which the design bandwidth is dfHz (tStar_ for anything wider).
    double TOfDesignDf(double dfHz) const;
    Trial Measure(double t, CalculationResult& trial);
    double InterpolatedWidth(const CalculationResult& trial, double& offsetHz);
    MessageId Accept(const Trial& trial);
    MessageId Settle(const Trial& first, const std::optional<Trial>& before);

    const DesignFields& design_;
    char separator_;
    const std::function<void(ElementValues&)>& revalue_;
    const std::optional<Resonator>& designCrystal_;
    CalculationResult& result_;
    std::unique_ptr<CircuitAnalysis> circuit_;

    DesignInput input_;
    Synthesis base_;  // the prototype only
    Resonator crystal_;
    int endSlot_ = 0;
    int shuntSlot_ = 0;
    std::vector<int> usedSlots_;
    double omegaS_ = 0;
    double omegaTop_ = 0;
    double tStar_ = 0;  // the widest design
    double tMin_ = 0;   // the narrowest design
    int designs_ = 0;
    Trial widest_, narrowest_;
    CalculationResult trial_;
};

void ExactRun::Synthesize(double ldMH, double dfHz, double lossOhm, double atKHz,
                          Synthesis& s) const {
    s = base_;
    const SynthesisAdjustment adjust{ldMH, dfHz, lossOhm, atKHz};
    SynthesizeScale(input_, s, &adjust);
    SynthesizeCapacitors(input_, s, &adjust);
}

double ExactRun::MeshElastance(double leffH, double dfHz) const {
    Synthesis s;
    Synthesize(leffH * 1000, dfHz, 0, input_.FoKHz, s);
    const double shunt = 1e12 / s.CapPF[static_cast<std::size_t>(shuntSlot_)];
    // A QER ladder's first mesh is two crystals in parallel on one coupling capacitor: per
    // crystal, the elastance of an inner mesh, twice that capacitor's.
    if (IsQer(input_.filterType)) return 2 * shunt;
    return 1e12 / s.CapPF[static_cast<std::size_t>(endSlot_)] + shunt;
}

double ExactRun::DesignDfAt(double t) const {
    const double omega = OmegaAt(t);
    const CrystalReactance r = ReactanceOf(crystal_, omega);
    // The mesh resonates where the crystal's reactance equals the capacitors' elastance over ω.
    // Every capacitor of a topology scales with 1/dF but Ck, which is in series with some, so
    // the elastance is affine in dF: two syntheses give the bandwidth that tunes the mesh.
    const double d1 = input_.DfHz;
    const double d2 = 2 * input_.DfHz;
    const double e1 = MeshElastance(r.effectiveH, d1);
    const double e2 = MeshElastance(r.effectiveH, d2);
    return d1 + (omega * r.reactanceOhm - e1) * (d2 - d1) / (e2 - e1);
}

bool ExactRun::DesignAt(double t, Synthesis& synthesis) const {
    const double omega = OmegaAt(t);
    const double dfHz = DesignDfAt(t);
    if (!(dfHz > 0) || !std::isfinite(dfHz)) return false;
    const double leffH = ReactanceOf(crystal_, omega).effectiveH;
    Synthesize(leffH * 1000, dfHz, EndLossOhm(omega), omega / (TwoPi * 1000), synthesis);
    if (!(synthesis.TermOhm > 0)) return false;
    for (const int slot : usedSlots_) {
        const double c = synthesis.CapPF[static_cast<std::size_t>(slot)];
        if (!(c > 0) || !std::isfinite(c)) return false;
    }
    return true;
}

double ExactRun::TOfDesignDf(double dfHz) const {
    if (dfHz >= DesignDfAt(tStar_)) return tStar_;
    double lo = 0, hi = tStar_;
    for (int k = 0; k < RefineSteps; ++k) {
        const double mid = (lo + hi) / 2;
        (DesignDfAt(mid) < dfHz ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}

// The width at the level with each edge interpolated between the two analysis points about it,
// so that it moves smoothly with the design, where Расчет's whole hertz stall. `offsetHz` is
// what Расчет adds to it on average: its upper edge is the first point outside the band, and so
// is its lower edge when searched downward from Fo (upward, it is the first point inside).
double ExactRun::InterpolatedWidth(const CalculationResult& trial, double& offsetHz) {
    const Measurements& m = trial.measurements;
    const double levelDb = -LevelOffsetDb - m.AminDb + input_.LevelDb;
    const auto crossing = [&](double belowHz) {
        double first = 0, second = 0;
        if (!AnalyseAt(*circuit_, belowHz, 0, first) ||
            !AnalyseAt(*circuit_, belowHz + 1, 0, second) || first == second) {
            return belowHz + 0.5;
        }
        return belowHz + std::clamp((levelDb - first) / (second - first), 0.0, 1.0);
    };
    const bool upward = m.LowerEdgeInside;
    offsetHz = upward ? 0 : 1;
    const double lower = crossing(upward ? m.LowerEdgeHz - 1 : m.LowerEdgeHz);
    const double upper = crossing(m.UpperEdgeHz - 1);
    return upper - lower;
}

Trial ExactRun::Measure(double t, CalculationResult& trial) {
    Trial out;
    out.t = t;
    ++designs_;
    trial.input = input_;
    if (!DesignAt(t, trial.synthesis)) {
        out.stop = MessageId::ExactNoBand;
        return out;
    }
    ElementValues values = ElementValuesOf(input_, trial.synthesis);
    if (revalue_) revalue_(values);
    circuit_->Build(trial.synthesis.Circuit, values);
    trial.measurements = {};
    trial.curve.clear();
    trial.steps = {};
    trial.sweepStarted = false;
    const double foHz = input_.FoKHz * 1000;
    double atFoDb = 0;
    out.stop = AnalyseAt(*circuit_, foHz, 0, atFoDb) ? MessageId::None : MessageId::NoSolution;
    if (out.stop != MessageId::None) return out;
    trial.measurements.RespAtFoDb = atFoDb;
    trial.measurements.AFoDb = atFoDb + LevelOffsetDb;
    out.stop = MeasureBuiltCircuit(*circuit_, foHz, input_.LevelDb, trial);
    if (out.stop == MessageId::BandLimit) out.g = INFINITY;
    if (out.stop != MessageId::None) return out;
    double offsetHz = 0;
    const double width = InterpolatedWidth(trial, offsetHz);
    out.widthHz = width + offsetHz;
    out.peakHz = trial.measurements.PeakHz;
    out.measuredHz = trial.measurements.MeasuredDfHz;
    out.g = out.widthHz - input_.DfHz;
    out.within = std::fabs(trial.measurements.MeasuredDfHz - input_.DfHz) <= ExactToleranceHz;
    return out;
}

MessageId ExactRun::Prepare() {
    result_.exact.exact = true;
    if (const MessageId warning = RunDesign(design_, *circuit_, result_, separator_);
        warning != MessageId::None) {
        return warning;
    }
    const InputTexts& texts = design_.texts;
    DesignInput& input = result_.input;
    if (texts.Level.empty()) return MessageId::MissingLevel;
    input.LevelDb = FieldNumber(texts.Level, separator_, Field::Level);
    if (input.LevelDb >= 0) return MessageId::BadLevel;
    const double rippleDb = DesignRippleDb(input);
    if (input.LevelDb > -(rippleDb + ExactLevelMarginDb)) {
        result_.message.value = FormatGeneral(rippleDb, 2, separator_);
        return MessageId::ExactLevelInRipple;
    }
    input_ = input;
    LoadDesignPrototype(input_, design_.ripple, base_);
    crystal_ = designCrystal_.value_or(
        ResonatorOfDesign(input_.LdMH, result_.synthesis.MotionalCapF, input_.RdOhm, input_.CsPF));
    if (!Physical(crystal_) || !(input_.DfHz > 0) || !(input_.FoKHz > 0))
        return MessageId::ExactNoBand;

    const TopologyDescriptor& topology = DescriptorOf(result_.synthesis.Circuit);
    endSlot_ = topology.endSlot;
    int farNode = 0;
    for (const AnalysedBranch& b : topology.branches) {
        if (b.element == Element::C0 && b.index == 1) farNode = std::max(b.from, b.to);
    }
    for (const AnalysedBranch& b : topology.branches) {
        if (b.element != Element::Cap) continue;
        usedSlots_.push_back(b.index);
        if ((b.from == farNode && b.to == 0) || (b.to == farNode && b.from == 0))
            shuntSlot_ = b.index;
    }
    for (const SchematicItem& item : topology.schematic) {
        if (IsCapacitorItem(item.kind)) usedSlots_.push_back(item.index);
    }

    // The meshes resonate between the motional arm's series resonance and the crystal's
    // parallel one; without C0 there is no parallel resonance, and an octave is ample.
    const Resonator& c = crystal_;
    omegaS_ = 1 / std::sqrt(c.LmH * c.CmF);
    omegaTop_ = c.C0F > 0 ? 1 / std::sqrt(c.LmH * (c.CmF * c.C0F / (c.CmF + c.C0F))) : 2 * omegaS_;
    if (!(omegaTop_ > omegaS_) || !std::isfinite(omegaTop_)) return MessageId::ExactNoBand;

    // The widest design: the peak of the design bandwidth over the mesh frequency, on a grid
    // dense near fs, then by golden section.
    int best = 1;
    double bestDf = -INFINITY;
    const auto gridT = [](int i) {
        const double u = static_cast<double>(i) / WidestGridPoints;
        return u * u * u;
    };
    for (int i = 1; i < WidestGridPoints; ++i) {
        const double df = DesignDfAt(gridT(i));
        if (df > bestDf) {
            bestDf = df;
            best = i;
        }
    }
    double a = gridT(best - 1), b = gridT(best + 1);
    const double ratio = (std::sqrt(5.0) - 1) / 2;
    for (int k = 0; k < RefineSteps; ++k) {
        const double x1 = b - ratio * (b - a), x2 = a + ratio * (b - a);
        if (DesignDfAt(x1) < DesignDfAt(x2)) {
            a = x1;
        } else {
            b = x2;
        }
    }
    tStar_ = (a + b) / 2;

    // The narrowest design: where the crystal's loss leaves only a trace of the termination.
    Synthesis s;
    const auto terminationLeft = [&](double t) {
        const double omega = OmegaAt(t);
        const double dfHz = DesignDfAt(t);
        if (!(dfHz > 0)) return -1.0;
        Synthesize(ReactanceOf(crystal_, omega).effectiveH * 1000, dfHz, 0, input_.FoKHz, s);
        return (1 - NarrowestTerminationShare) * s.TermOhm - EndLossOhm(omega);
    };
    if (!(terminationLeft(tStar_) > 0)) return MessageId::ExactNoBand;
    double lo = 0, hi = tStar_;
    for (int k = 0; k < RefineSteps; ++k) {
        const double mid = (lo + hi) / 2;
        (terminationLeft(mid) > 0 ? hi : lo) = mid;
    }
    tMin_ = hi;

    trial_.curve.reserve(MaxSearchSteps + 1);
    widest_ = Measure(tStar_, trial_);
    if (widest_.stop == MessageId::None) {
        result_.exact.reachableDfHz = std::floor(widest_.widthHz);
        if (widest_.within) return Accept(widest_);
    } else if (widest_.stop != MessageId::BandLimit) {
        return widest_.stop;
    }
    narrowest_ = Measure(tMin_, trial_);
    if (narrowest_.stop == MessageId::None) {
        result_.exact.narrowestDfHz = std::ceil(narrowest_.widthHz);
        if (narrowest_.within) return Accept(narrowest_);
    }
    // Both limits beyond the searches: so is every design between them.
    if (widest_.stop == MessageId::BandLimit && narrowest_.stop == MessageId::BandLimit)
        return MessageId::BandLimit;
    if (widest_.stop == MessageId::None && widest_.g < 0) {
        result_.message.value = WholeHertz(result_.exact.reachableDfHz);
        return MessageId::ExactBandTooWide;
    }
    if (narrowest_.stop == MessageId::None && narrowest_.g > 0) {
        result_.message.value = WholeHertz(result_.exact.narrowestDfHz);
        return MessageId::ExactBandTooNarrow;
    }
    return MessageId::None;
}

// The design last measured is the result: its measurement was a whole Расчет.
MessageId ExactRun::Accept(const Trial& trial) {
    result_.synthesis = trial_.synthesis;
    result_.measurements = trial_.measurements;
    result_.curve = trial_.curve;
    result_.steps = trial_.steps;
    result_.sweepStarted = true;
    ExactDesign& exact = result_.exact;
    exact.designDfHz = DesignDfAt(trial.t);
    exact.effectiveLdMH = ReactanceOf(crystal_, OmegaAt(trial.t)).effectiveH * 1000;
    return MessageId::None;
}

MessageId ExactRun::Iterate() {
    // The root lies between the narrowest design (below the width) and the widest (above it),
    // as far as they were measured; secant steps inside that bracket, false position (Illinois)
    // or halving where a step would leave it.
    std::optional<Trial> lo, hi;
    if (narrowest_.stop == MessageId::None) lo = narrowest_;
    if (widest_.stop == MessageId::None || widest_.stop == MessageId::BandLimit) hi = widest_;
    // The first design is the request's own bandwidth, inside the bracket.
    double t = std::clamp(TOfDesignDf(input_.DfHz), tMin_, tStar_);
    if (t == tMin_ || t == tStar_) t = (tMin_ + tStar_) / 2;
    std::optional<Trial> previous;
    int replacedSide = 0;
    MessageId lastStop = MessageId::None;
    while (designs_ < MaxExactDesigns) {
        const Trial now = Measure(t, trial_);
        if (now.stop != MessageId::None && now.stop != MessageId::BandLimit) return now.stop;
        if (now.within) return Settle(now, previous);
        if (now.g < 0) {
            lo = now;
            if (replacedSide == -1 && hi && std::isfinite(hi->g)) hi->g /= 2;
            replacedSide = -1;
        } else {
            hi = now;
            if (replacedSide == 1 && lo && std::isfinite(lo->g)) lo->g /= 2;
            replacedSide = 1;
        }
        const double left = lo ? lo->t : tMin_;
        const double right = hi ? hi->t : tStar_;
        // Either side of the bracket measured from a different first peak: the width jumps
        // between them where a ripple peak appears, and halving finds where.
        // (Within a narrow bracket one peak moves a few hertz; ripple peaks lie about dF/n
        // apart.)
        const int crystals = CrystalCountOf(input_.filterType);
        const bool jump = lo && hi && hi->t - lo->t < 1e-2 * hi->t &&
                          std::fabs(lo->peakHz - hi->peakHz) > input_.DfHz / (4 * crystals);
        if (jump && hi->t - lo->t <= JumpResolution * hi->t) {
            result_.message.value =
                WholeHertz(std::floor(lo->widthHz)) + "–" + WholeHertz(std::ceil(hi->widthHz));
            return MessageId::ExactWidthJumps;
        }
        double next = NAN;
        if (jump) {
            next = (left + right) / 2;
        } else if (!previous && std::isfinite(now.g) && now.widthHz > 0) {
            // The width follows the design bandwidth nearly in proportion.
            next = TOfDesignDf(DesignDfAt(t) * input_.DfHz / now.widthHz);
        } else if (previous && std::isfinite(now.g) && std::isfinite(previous->g) &&
                   now.g != previous->g) {
            next = t - now.g * (t - previous->t) / (now.g - previous->g);
        }
        if (!(next > left && next < right)) {
            next = lo && hi && std::isfinite(lo->g) && std::isfinite(hi->g)
                       ? lo->t - lo->g * (hi->t - lo->t) / (hi->g - lo->g)
                       : (left + right) / 2;
        }
        if (!(next > left && next < right)) next = (left + right) / 2;
        previous = now;
        t = next;
        lastStop = now.stop;
    }
    if (lastStop == MessageId::BandLimit) return MessageId::BandLimit;
    result_.message.value = std::to_string(MaxExactDesigns);
    return MessageId::ExactNotConverged;
}

// Within ExactToleranceHz Расчет's whole hertz may still be one off: a few more designs look
// for the one that names dF itself (halving between a design a hertz short and one a hertz
// long), and the first design within the tolerance stands if none does.
MessageId ExactRun::Settle(const Trial& first, const std::optional<Trial>& before) {
    if (first.measuredHz == std::round(input_.DfHz)) return Accept(first);
    const CalculationResult kept = trial_;
    std::optional<Trial> shorter, longer;
    (first.measuredHz < input_.DfHz ? shorter : longer) = first;
    Trial last = first;
    std::optional<Trial> earlier = before;
    for (int k = 0; k < SettleDesigns && designs_ < MaxExactDesigns; ++k) {
        double next = NAN;
        if (shorter && longer) {
            next = (shorter->t + longer->t) / 2;
        } else if (earlier && earlier->widthHz != last.widthHz) {
            // A hertz more or less of the interpolated width, by the secant of the last two.
            const double wantHz = last.widthHz + (shorter ? 1 : -1);
            next = last.t + (wantHz - last.widthHz) * (last.t - earlier->t) /
                                (last.widthHz - earlier->widthHz);
        }
        if (!(next > tMin_ && next < tStar_)) break;
        earlier = last;
        last = Measure(next, trial_);
        if (last.stop != MessageId::None) break;
        if (last.measuredHz == std::round(input_.DfHz)) return Accept(last);
        if (last.measuredHz < input_.DfHz && (!shorter || last.t > shorter->t)) shorter = last;
        if (last.measuredHz > input_.DfHz && (!longer || last.t < longer->t)) longer = last;
    }
    trial_ = kept;
    return Accept(first);
}

}  // namespace

CalculationResult CalculateExact(const DesignFields& design, char separator, Language language,
                                 const std::function<void(ElementValues&)>& revalue,
                                 const std::optional<Resonator>& designCrystal) {
    CalculationResult result;
    result.curve.reserve(MaxSearchSteps + 1);
    try {
        ExactRun run(design, separator, revalue, designCrystal, result);
        MessageId stop = run.Prepare();
        if (stop == MessageId::None && !result.sweepStarted) stop = run.Iterate();
        result.exact.iterations = run.Designs();
        if (stop != MessageId::None) {
            result.outcome = Outcome::Warning;
            result.message.id = stop;
            result.message = WithBrokenRule(result.message, result.input);
            result.sweepStarted = false;
            result.curve.clear();
        } else {
            result.resultText = ComposeResultText(result, separator, language);
            result.caution = CautionOf(result, separator);
        }
    } catch (const CommandError& error) {
        Refuse(result, error.message());
    }
    return result;
}

std::optional<double> ReachableDfHz(const DesignFields& design, char separator,
                                    std::span<const CrystalModel> crystals, bool trim) {
    DesignFields fields = design;
    std::function<void(ElementValues&)> revalue;
    std::optional<Resonator> designCrystal;
    CrystalSetDesign set;
    if (!crystals.empty()) {
        set = DesignOfCrystalSet(design, crystals, trim);
        if (set.message.id != MessageId::None) return std::nullopt;
        fields = set.fields;
        revalue = [&](ElementValues& values) { SetCrystalsOfSet(values, set, crystals); };
        designCrystal = DesignCrystalOf(set);
    }
    fields.exact = true;
    CalculationResult result;
    try {
        ExactRun run(fields, separator, revalue, designCrystal, result);
        run.Prepare();
    } catch (const CommandError&) {
        return std::nullopt;
    }
    if (!(result.exact.reachableDfHz > 0)) return std::nullopt;
    return result.exact.reachableDfHz;
}

}  // namespace feldan
