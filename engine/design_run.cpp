#include "engine/design_run.h"

#include <algorithm>
#include <atomic>

#include "engine/crystal_modes.h"

namespace feldan {

namespace {

std::atomic<long> designsRun{0};

CalculationResult CalculateOnSet(const CrystalSetDesign& set,
                                 std::span<const CrystalModel> crystals, char separator,
                                 Language language) {
    // The set's texts carry '.', whatever the caller's separator: FieldTextToFloat maps it.
    CalculationResult result = CalculateRevalued(
        set.fields, separator, language,
        [&](ElementValues& values) { SetCrystalsOfSet(values, set, crystals); },
        DesignCrystalOf(set));
    if (set.trim && result.outcome == Outcome::Done && result.caution.id == MessageId::None) {
        std::vector<double> trimsPF;
        for (double f : set.trimF)
            trimsPF.push_back(f * 1e12);
        result.caution = CautionOf(result, separator, trimsPF);
    }
    return result;
}

}  // namespace

Designed RunDesign(const DesignFields& fields, char separator,
                   std::span<const CrystalModel> crystals, bool trim, Language language) {
    ++designsRun;
    Designed designed;
    if (crystals.empty()) {
        designed.calculation = Calculate(fields, separator, language);
        return designed;
    }
    designed.crystals.assign(crystals.begin(), crystals.end());
    designed.set = DesignOfCrystalSet(fields, crystals, trim);
    if (designed.set->message.id != MessageId::None) {
        designed.calculation.outcome = Outcome::Error;
        designed.calculation.message = designed.set->message;
        return designed;
    }
    designed.calculation = CalculateOnSet(*designed.set, crystals, separator, language);
    const bool modes = std::any_of(crystals.begin(), crystals.end(),
                                   [](const CrystalModel& c) { return !c.modes.empty(); });
    if (modes && designed.calculation.outcome == Outcome::Done) {
        DesignedFilter filter = FilterOf(designed, CircuitChoice::Analysed);
        designed.set->unwanted = UnwantedResponsesOf(filter);
    }
    return designed;
}

long DesignsRun() {
    return designsRun.load();
}

CrystalSetComparison CompareCrystalSet(const DesignFields& fields,
                                       std::span<const CrystalModel> crystals, char separator,
                                       Language language) {
    CrystalSetComparison comparison;
    const CrystalSetDesign untrimmed = DesignOfCrystalSet(fields, crystals, false);
    comparison.message = untrimmed.message;
    if (untrimmed.message.id != MessageId::None) return comparison;
    comparison.designs.push_back(RunDesign(untrimmed.fields, separator, {}, false, language));
    comparison.designs.push_back(RunDesign(fields, separator, crystals, false, language));
    comparison.designs.push_back(RunDesign(fields, separator, crystals, true, language));
    return comparison;
}

}  // namespace feldan
