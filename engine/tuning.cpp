#include "engine/tuning.h"

#include <algorithm>
#include <cmath>

namespace feldan {

std::vector<TunablePart> TunablePartsOf(const BuiltDesign& built, const RoundingResult* rounding,
                                        std::span<const TunedPart> tuning) {
    std::vector<TunablePart> parts;
    const int type = built.design.synthesis.Circuit;
    for (const SchematicItem& item : DescriptorOf(type).schematic) {
        if (!IsCapacitorItem(item.kind)) continue;
        auto slot = std::find_if(parts.begin(), parts.end(),
                                 [&](const TunablePart& p) { return p.index == item.index; });
        if (slot != parts.end()) {
            slot->labels.emplace_back(item.label);
            continue;
        }
        TunablePart part;
        part.label = std::string(item.label);
        part.labels = {part.label};
        part.index = item.index;
        part.designed = part.built = built.values.CapPF[static_cast<std::size_t>(item.index)];
        parts.push_back(part);
    }
    // A tuned label that is not the first of its slot sets that part apart, after its slot.
    int capacitor = 0;
    for (const SchematicItem& item : DescriptorOf(type).schematic) {
        if (!IsCapacitorItem(item.kind)) continue;
        const int place = capacitor++;
        const std::string label(item.label);
        const bool named = std::any_of(tuning.begin(), tuning.end(),
                                       [&](const TunedPart& t) { return t.label == label; });
        auto slot = std::find_if(parts.begin(), parts.end(), [&](const TunablePart& p) {
            return p.index == item.index && p.part < 0;
        });
        if (!named || slot == parts.end() || slot->label == label) continue;
        slot->labels.erase(std::find(slot->labels.begin(), slot->labels.end(), label));
        TunablePart apart = *slot;
        apart.label = label;
        apart.labels = {label};
        apart.part = place;
        auto after = slot + 1;
        while (after != parts.end() && after->index == item.index)
            ++after;
        parts.insert(after, apart);
    }
    TunablePart termination;
    termination.kind = TunableKind::Termination;
    termination.label = TerminationLabel;
    termination.labels = {termination.label};
    termination.designed = termination.built = built.design.synthesis.InputOhm;
    parts.push_back(termination);
    // A design whose ends differ sets each end on its own.
    const double endsRatio = OutputOverInput(built.design.synthesis);
    if (endsRatio != 1) {
        TunablePart output = termination;
        output.kind = TunableKind::OutputTermination;
        output.label = OutputTerminationLabel;
        output.labels = {output.label};
        output.designed = output.built = built.design.synthesis.InputOhm * endsRatio;
        parts.push_back(output);
    }
    for (int position = 1; position <= DescriptorOf(type).crystalCount; ++position) {
        const double trimF = built.values.Crystal[position].TrimF;
        if (!(trimF > 0)) continue;
        TunablePart trim;
        trim.kind = TunableKind::Trim;
        trim.label = "Ct" + std::to_string(position);
        trim.labels = {trim.label};
        trim.index = position;
        trim.designed = trim.built = trimF * 1e12;
        parts.push_back(trim);
    }
    const auto named = [&](const std::string& label) {
        return std::any_of(tuning.begin(), tuning.end(),
                           [&](const TunedPart& t) { return t.label == label; });
    };
    double rmSum = 0;
    for (int position = 1; position <= DescriptorOf(type).crystalCount; ++position) {
        const Resonator& crystal = built.values.Crystal[static_cast<std::size_t>(position)];
        rmSum += crystal.RmOhm;
        TunablePart resonance;
        resonance.kind = TunableKind::Crystal;
        resonance.label = "ZQ" + std::to_string(position);
        if (!named(resonance.label)) continue;
        resonance.labels = {resonance.label};
        resonance.index = position;
        resonance.designed = resonance.built = 1 / (TwoPi * std::sqrt(crystal.LmH * crystal.CmF));
        parts.push_back(resonance);
    }
    if (named(MotionalResistanceLabel) && DescriptorOf(type).crystalCount > 0) {
        TunablePart rm;
        rm.kind = TunableKind::MotionalResistance;
        rm.label = MotionalResistanceLabel;
        rm.labels = {rm.label};
        rm.designed = rm.built = rmSum / DescriptorOf(type).crystalCount;
        parts.push_back(rm);
    }

    if (rounding) {
        for (TunablePart& part : parts) {
            if (part.kind == TunableKind::Termination) part.built = rounding->roundedTerminationOhm;
            if (part.kind == TunableKind::OutputTermination)
                part.built = rounding->roundedOutputTerminationOhm;
            if (part.kind != TunableKind::Capacitor) continue;
            for (const RoundedCapacitor& c : rounding->capacitors) {
                if (c.slot != part.index) continue;
                part.built = c.roundedPF;
                part.pair = c.pair;
            }
        }
    }
    for (TunablePart& part : parts)
        part.value = part.built;
    // The last entry of a label counts: a list holds each label once, but a hand-made file may
    // not.
    for (const TunedPart& tuned : tuning) {
        auto part = std::find_if(parts.begin(), parts.end(),
                                 [&](const TunablePart& p) { return p.label == tuned.label; });
        if (part != parts.end() && tuned.value > 0 && std::isfinite(tuned.value))
            part->value = tuned.value;
    }
    return parts;
}

std::vector<TunedPart> TuningOf(std::span<const TunablePart> parts) {
    std::vector<TunedPart> tuning;
    for (const TunablePart& part : parts) {
        if (part.Tuned()) tuning.push_back({part.label, part.value});
    }
    return tuning;
}

TunedCircuit TunedCircuitOf(const BuiltDesign& built, std::span<const TunablePart> parts) {
    const double inputOhm = built.design.synthesis.InputOhm;
    TunedCircuit circuit{built.values, inputOhm,
                         inputOhm * OutputOverInput(built.design.synthesis)};
    bool outputOfItsOwn = false;
    for (const TunablePart& part : parts) {
        switch (part.kind) {
            case TunableKind::Capacitor:
                if (part.part >= 0)
                    circuit.values.PartPF.at(static_cast<std::size_t>(part.part)) = part.value;
                else
                    circuit.values.CapPF[static_cast<std::size_t>(part.index)] = part.value;
                break;
            case TunableKind::Crystal:
                if (part.value != part.designed) {
                    Resonator& crystal =
                        circuit.values.Crystal[static_cast<std::size_t>(part.index)];
                    crystal.CmF = 1 / (std::pow(TwoPi * part.value, 2) * crystal.LmH);
                }
                break;
            case TunableKind::MotionalResistance:
                if (part.value != part.designed) {
                    for (Resonator& crystal : circuit.values.Crystal)
                        crystal.RmOhm *= part.value / part.designed;
                }
                break;
            case TunableKind::Termination:
                circuit.terminationOhm = part.value;
                break;
            case TunableKind::OutputTermination:
                circuit.outputTerminationOhm = part.value;
                outputOfItsOwn = true;
                break;
            case TunableKind::Trim:
                // Untouched, the trim keeps its bits: pF to F and back need not.
                if (part.value != part.designed)
                    circuit.values.Crystal[part.index].TrimF = part.value * 1e-12;
                break;
        }
    }
    // Without a part of its own the output end follows the input's (equal ends: it is the same).
    if (!outputOfItsOwn)
        circuit.outputTerminationOhm =
            circuit.terminationOhm * OutputOverInput(built.design.synthesis);
    return circuit;
}

double SteppedValueOf(const TunablePart& part, TuningStep step, int notches) {
    if (part.kind == TunableKind::Crystal)
        return part.value + notches * (step == TuningStep::TenthPercent ? 1.0 : 10.0);
    return SteppedValue(part.value, step, notches);
}

double SteppedValue(double value, TuningStep step, int notches) {
    switch (step) {
        case TuningStep::OnePercent:
            return value * std::pow(1.01, notches);
        case TuningStep::TenthPercent:
            return value * std::pow(1.001, notches);
        case TuningStep::E12:
        case TuningStep::E24:
        case TuningStep::E96: {
            const ESeries series = step == TuningStep::E12   ? ESeries::E12
                                   : step == TuningStep::E24 ? ESeries::E24
                                                             : ESeries::E96;
            for (int i = 0; i < std::abs(notches); ++i)
                value = NextInSeries(value, series, notches);
            return value;
        }
    }
    return value;
}

}  // namespace feldan
