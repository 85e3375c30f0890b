#include "engine/crystal_set.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "engine/design_run.h"
#include "engine/ladder_design.h"
#include "engine/number_text.h"
#include "engine/result_text.h"

namespace feldan {

namespace {

// The shortest text that reads back as the same double, with the user's separator.
std::string FieldText(double value, char separator) {
    char buffer[40];
    const auto end = DoubleToChars(buffer, buffer + sizeof buffer, value).ptr;
    std::string text(buffer, end);
    if (separator != '.') std::replace(text.begin(), text.end(), '.', separator);
    return text;
}

// The mean as the first value plus the mean difference, so that equal values give themselves
// exactly.
template <class Of>
double MeanOf(std::span<const CrystalModel> crystals, Of of) {
    const double first = of(crystals.front());
    double sum = 0;
    for (const CrystalModel& crystal : crystals)
        sum += of(crystal) - first;
    return first + sum / static_cast<double>(crystals.size());
}

bool Usable(const CrystalModel& c) {
    const auto positive = [](double v) { return std::isfinite(v) && v > 0; };
    return positive(c.fsHz) && positive(c.lmH) && positive(c.cmF) && positive(c.rmOhm) &&
           std::isfinite(c.c0F) && c.c0F >= 0;
}

bool SameCrystal(const CrystalModel& a, const CrystalModel& b) {
    return a.lmH == b.lmH && a.cmF == b.cmF && a.rmOhm == b.rmOhm && a.c0F == b.c0F;
}

bool UsableMode(const CrystalMode& m) {
    const auto positive = [](double v) { return std::isfinite(v) && v > 0; };
    return positive(m.fsHz) && positive(m.lmH) && positive(m.cmF) && positive(m.rmOhm);
}

static_assert(MaxUnwantedModes <= MaxBranchArms);

Resonator ResonatorOf(const CrystalModel& c, double trimF) {
    Resonator r{c.lmH, c.cmF, c.rmOhm, c.c0F, trimF};
    for (const CrystalMode& mode : c.modes) {
        if (r.ModeCount == MaxBranchArms) break;
        r.Modes[static_cast<std::size_t>(r.ModeCount++)] = {mode.rmOhm, mode.lmH, mode.cmF};
    }
    return r;
}

}  // namespace

CrystalSetDesign DesignOfCrystalSet(const DesignFields& design,
                                    std::span<const CrystalModel> crystals, bool trim) {
    CrystalSetDesign set;
    set.fields = design;
    set.trim = trim;
    if (const int count = CrystalCountOf(design.filterType); count > 0) {
        if (static_cast<int>(crystals.size()) != count) {
            set.message = {MessageId::CrystalSetCount, std::to_string(count)};
            return set;
        }
    } else if (crystals.empty()) {
        return set;  // the design run refuses the topology
    }
    for (std::size_t k = 0; k < crystals.size(); ++k) {
        if (!Usable(crystals[k]) || crystals[k].modes.size() > std::size_t{MaxUnwantedModes} ||
            !std::all_of(crystals[k].modes.begin(), crystals[k].modes.end(), UsableMode)) {
            set.message = {MessageId::CrystalSetValue, std::to_string(k + 1)};
            return set;
        }
    }
    double highestHz = 0;
    for (const CrystalModel& crystal : crystals)
        highestHz = std::max(highestHz, crystal.fsHz);
    for (std::size_t k = 0; k < crystals.size(); ++k) {
        const double trimF = SeriesTrimFor(crystals[k], highestHz);
        // A trim the shift is too large for is refused only when it is to be applied.
        if (trim && !(trimF >= 0 && std::isfinite(trimF))) {
            set.message = {MessageId::CrystalTrimImpossible, std::to_string(k + 1)};
            return set;
        }
        set.trimF.push_back(trimF);
    }
    set.mean = CrystalFromSeriesResonance(MeanOf(crystals, [](auto& c) { return c.fsHz; }),
                                          MeanOf(crystals, [](auto& c) { return c.lmH; }),
                                          MeanOf(crystals, [](auto& c) { return c.rmOhm; }),
                                          MeanOf(crystals, [](auto& c) { return c.c0F; }));
    // Equal crystals keep their own Cm rather than one recomputed from the mean fs.
    if (std::all_of(crystals.begin(), crystals.end(),
                    [&](const CrystalModel& c) { return SameCrystal(c, crystals.front()); })) {
        set.mean = crystals.front();
    }
    set.alignedHz = trim ? highestHz : set.mean.fsHz;
    // The texts are read back with the separator the calculation is given; '.' here, and the
    // caller's texts otherwise untouched.
    InputTexts& texts = set.fields.texts;
    texts.Fo = FieldText(set.alignedHz / 1000, '.');
    texts.Ld = FieldText(set.mean.lmH * 1000, '.');
    texts.Cs = FieldText(set.mean.c0F * 1e12, '.');
    texts.Rd = FieldText(set.mean.rmOhm, '.');
    return set;
}

void SetCrystalsOfSet(ElementValues& values, const CrystalSetDesign& set,
                      std::span<const CrystalModel> crystals) {
    for (std::size_t k = 0; k < crystals.size() && k < std::size_t{MaxCrystals}; ++k) {
        const CrystalModel& c = crystals[k];
        const double trimF = set.trim ? set.trimF[k] : 0;
        if (trimF == 0 && c.modes.empty() && SameCrystal(c, set.mean)) continue;
        values.Crystal[k + 1] = ResonatorOf(c, trimF);
    }
}

Resonator DesignCrystalOf(const CrystalSetDesign& set) {
    const CrystalModel& m = set.mean;
    const double trimF = set.trim ? SeriesTrimFor(m, set.alignedHz) : 0;
    return Resonator{m.lmH, m.cmF, m.rmOhm, m.c0F, trimF > 0 ? trimF : 0};
}

CalculationResult CalculateWithCrystals(const DesignFields& design,
                                        std::span<const CrystalModel> crystals, bool trim,
                                        char separator, Language language) {
    return RunDesign(design, separator, crystals, trim, language).calculation;
}

std::string CrystalSetText(const CrystalSetDesign& set, char separator, Language language) {
    const bool english = language == Language::English;
    std::string text = "Fo=" + FormatGeneral(set.alignedHz / 1000, 10, separator) +
                       (english ? " kHz; " : " кГц; ") +
                       (set.trim  ? "Ct:"
                        : english ? "suggested Ct:"
                                  : "предлагаемые Ct:");
    for (std::size_t k = 0; k < set.trimF.size(); ++k)
        text +=
            " ZQ" + std::to_string(k + 1) + "=" + FormatGeneral(set.trimF[k] * 1e12, 4, separator);
    text += english ? " pF" : " пФ";
    if (const UnwantedResponse* worst = WorstUnwanted(set))
        text += "; " + UnwantedResponseText(*worst, separator, language);
    return text;
}

const UnwantedResponse* WorstUnwanted(const CrystalSetDesign& set) {
    const auto worst = std::max_element(
        set.unwanted.begin(), set.unwanted.end(),
        [](const UnwantedResponse& a, const UnwantedResponse& b) { return a.levelDb < b.levelDb; });
    return worst == set.unwanted.end() ? nullptr : &*worst;
}

std::string UnwantedResponseText(const UnwantedResponse& response, char separator,
                                 Language language) {
    // One decimal, a true minus sign, and the offset's sign always shown.
    const auto fixed = [&](double value, bool plus) {
        char buffer[40];
        const auto end = DoubleToChars(buffer, buffer + sizeof buffer, std::fabs(value),
                                       std::chars_format::fixed, 1)
                             .ptr;
        std::string digits(buffer, end);
        if (separator != '.') std::replace(digits.begin(), digits.end(), '.', separator);
        const bool negative = value < 0 && digits.find_first_not_of("0.,") != std::string::npos;
        return (negative ? "−" : plus ? "+" : "") + digits;
    };
    const bool english = language == Language::English;
    return (english ? "unwanted pass band at " : "паразитная полоса на ") +
           fixed(response.offsetHz / 1000, true) + (english ? " kHz: " : " кГц: ") +
           fixed(response.levelDb, false) + (english ? " dB" : " дБ");
}

}  // namespace feldan
