#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/diagnosis.h"
#include "engine/diagnosis_advice.h"
#include "engine/number_text.h"

namespace feldan {

namespace {

// A number with `decimals` places, the decimal comma in Russian and a true minus sign.
std::string Fixed(double value, int decimals, Language language) {
    char buffer[64];
    const auto result = DoubleToChars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    if (language == Language::Russian) std::replace(text.begin(), text.end(), '.', ',');
    const bool zero = text.find_first_not_of("0.,") == std::string::npos;
    return (value < 0 && !zero ? "−" : "") + text;
}

// Digits that say a value to its bound: one place under 10, none above.
int DecimalsOf(double value) {
    return std::fabs(value) < 10 ? 1 : 0;
}

std::string Say(Language language, std::string_view russian, std::string_view english) {
    return std::string(language == Language::Russian ? russian : english);
}

std::string Joined(const std::vector<std::string>& items, std::string_view separator) {
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : std::string(separator)) + item;
    return text;
}

std::string CrystalNumber(const std::string& label) {
    return label.substr(2);
}

}  // namespace

std::string DiagnosisText(const Diagnosis& d, Language language) {
    const Language l = language;
    if (d.verdict == DiagnosisVerdict::Cancelled)
        return Say(l, "Подгонка прервана.", "The fit was stopped.");
    if (d.verdict != DiagnosisVerdict::Fitted) return MessageText(d.message, l);
    std::vector<std::string> lines;
    lines.push_back(Say(l, "Невязка подгонки ", "The fit's residual is ") +
                    Fixed(d.residualDb, 1, l) + Say(l, " дБ (у расчёта ", " dB (the design's ") +
                    Fixed(d.designResidualDb, 1, l) + Say(l, " дБ).", " dB)."));
    const auto inGroup = [&](const std::string& label) {
        return diagnosis_advice::InWeakGroup(d, label);
    };
    // A crystal by its number; one of a parallel pair as either of the two, the sweep cannot
    // say which of them is off.
    std::vector<std::pair<int, int>> pairsNamed;
    const auto crystalName = [&](int position) {
        for (const auto& pair : d.parallelPairs) {
            if (pair.first != position && pair.second != position) continue;
            if (std::find(pairsNamed.begin(), pairsNamed.end(), pair) == pairsNamed.end())
                pairsNamed.push_back(pair);
            return std::to_string(pair.first) + Say(l, " или ", " or ") +
                   std::to_string(pair.second);
        }
        return std::to_string(position);
    };
    const auto crystalOfLabel = [&](const std::string& label) {
        return crystalName(std::stoi(CrystalNumber(label)));
    };
    // The worst parts the sweep pins, by how far they are off in their own terms.
    std::vector<std::pair<double, std::string>> worst;
    for (const FittedCapacitor& c : d.reading.capacitors) {
        const double off = std::fabs(c.errorPct);
        if (inGroup(c.label) || off < std::max(1.0, 3 * c.boundPct)) continue;
        const bool above = c.errorPct > 0;
        worst.push_back(
            {off / 1.0, c.label +
                            Say(l, above ? " стоит на " : " стоит на ", above ? " is " : " is ") +
                            Fixed(off, 1, l) +
                            Say(l, above ? " % больше расчётного" : " % меньше расчётного",
                                above ? " % above its design value" : " % below its design value") +
                            " (±" + Fixed(c.boundPct, 2, l) + " %)"});
    }
    for (const FittedCrystal& q : d.reading.crystals) {
        const double off = std::fabs(q.offsetHz);
        const std::string label = "ZQ" + std::to_string(q.position);
        if (inGroup(label) || off < std::max(5.0, 3 * q.boundHz)) continue;
        const bool above = q.offsetHz > 0;
        worst.push_back({off / 5.0, Say(l, "кварц ", "crystal ") + crystalName(q.position) +
                                        Say(l, above ? " выше на " : " ниже на ", " is ") +
                                        Fixed(off, 0, l) +
                                        Say(l, " Гц", above ? " Hz high" : " Hz low") + " (±" +
                                        Fixed(q.boundHz, 1, l) + Say(l, " Гц)", " Hz)")});
    }
    std::stable_sort(worst.begin(), worst.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    if (worst.empty()) {
        lines.push_back(Say(l,
                            "Детали, которые развёртка различает, в пределах 1 % и 5 Гц от "
                            "расчёта.",
                            "The parts the sweep tells apart are within 1 % and 5 Hz of the "
                            "design."));
    } else {
        std::vector<std::string> said;
        for (std::size_t k = 0; k < worst.size() && k < 4; ++k)
            said.push_back(worst[k].second);
        std::string first = Joined(said, "; ") + ".";
        lines.push_back(first);
    }
    lines.push_back(Say(l, "Rm кварцев ", "The crystals' Rm is ") + Fixed(d.rmOhm, 2, l) +
                    Say(l, " Ом (±", " Ohm (±") + Fixed(d.rmBoundPct, 1, l) +
                    Say(l, " %; в расчёте ", " %; designed ") + Fixed(d.designRmOhm, 2, l) +
                    Say(l, " Ом), Qu ", " Ohm), Qu ") + Fixed(d.qu, 0, l) +
                    Say(l, " (в расчёте ", " (designed ") + Fixed(d.designQu, 0, l) + ").");
    for (const WeakGroup& g : d.weakGroups) {
        std::string bound = g.worstBoundPct > 0 ? "±" + Fixed(g.worstBoundPct, 1, l) + " %" : "";
        if (g.worstBoundHz > 0)
            bound += (bound.empty() ? "±" : Say(l, " и ±", " and ±")) +
                     Fixed(g.worstBoundHz, 0, l) + Say(l, " Гц", " Hz");
        lines.push_back(Joined(g.labels, ", ") +
                        Say(l, ": по этой развёртке не различить, каждый известен лишь до ",
                            ": this sweep cannot tell them apart; each is known only to ") +
                        bound + ".");
    }
    if (d.ambiguous) {
        lines.push_back(Say(l,
                            "Без отражений (S11, S22) фильтр не отличить от его зеркального "
                            "отражения: возможно и обратное прочтение, вход и выход "
                            "поменяны местами.",
                            "Without reflections (S11, S22) the filter cannot be told from its "
                            "mirror image: the reading with input and output swapped fits as "
                            "well."));
    }
    std::vector<std::string> changes;
    for (const Advice& a : d.advice) {
        if (changes.size() == 4) break;
        switch (a.kind) {
            case AdviceKind::ReplaceCapacitor:
                changes.push_back(a.label + Say(l, " замените на ", " by ") +
                                  Fixed(a.value, DecimalsOf(a.value), l) + Say(l, " пФ", " pF"));
                break;
            case AdviceKind::AddTrim:
                changes.push_back(
                    a.value > 0 ? Say(l, "последовательно с кварцем ", "a series ") +
                                      (l == Language::Russian
                                           ? crystalOfLabel(a.label) + " — " +
                                                 Fixed(a.value, DecimalsOf(a.value), l) + " пФ"
                                           : Fixed(a.value, DecimalsOf(a.value), l) +
                                                 " pF with crystal " + crystalOfLabel(a.label))
                                : Say(l, "кварц ", "crystal ") + crystalOfLabel(a.label) +
                                      Say(l, " не поднять конденсатором: подберите другой",
                                          " cannot be lifted by a capacitor: pick another"));
                break;
            case AdviceKind::ChangeTrim:
                changes.push_back(Say(l, "подстроечный кварца ", "the trim of crystal ") +
                                  crystalOfLabel(a.label) + Say(l, " — ", " to ") +
                                  Fixed(a.value, DecimalsOf(a.value), l) + Say(l, " пФ", " pF"));
                break;
            case AdviceKind::CrystalHigh:
                changes.push_back(Say(l, "кварц ", "crystal ") + crystalOfLabel(a.label) +
                                  Say(l, " замените кварцем ниже на ", ": pick one lower by ") +
                                  Fixed(a.value, 0, l) + Say(l, " Гц", " Hz"));
                break;
        }
    }
    if (!changes.empty())
        lines.push_back(Say(l, "Что изменить: ", "What to change: ") + Joined(changes, "; ") + ".");
    for (const auto& [a, b] : pairsNamed) {
        lines.push_back(Say(l, "Кварцы ", "Crystals ") + std::to_string(a) +
                        Say(l, " и ", " and ") + std::to_string(b) +
                        Say(l,
                            " стоят параллельно: развёртка различает их резонансы, но не "
                            "скажет, какой у какого; измерьте каждый порознь.",
                            " are in parallel: the sweep tells their resonances but not which "
                            "crystal has which; measure each on its own."));
    }
    if (d.input.fittedOhm > 0) {
        // A schematic without end capacitors (QER) is given its resistances alone.
        const auto end = [&](const EndTermination& e) {
            if (!(e.designPF > 0)) {
                return Fixed(e.fittedOhm, 0, l) + Say(l, " Ом (в расчёте ", " Ohm (designed ") +
                       Fixed(e.designOhm, 0, l) + Say(l, " Ом)", " Ohm)");
            }
            return Fixed(e.fittedOhm, 0, l) + Say(l, " Ом ∥ ", " Ohm ∥ ") +
                   Fixed(e.fittedPF, 1, l) + Say(l, " пФ (в расчёте ", " pF (designed ") +
                   Fixed(e.designOhm, 0, l) + Say(l, " Ом ∥ ", " Ohm ∥ ") +
                   Fixed(e.designPF, 1, l) + Say(l, " пФ)", " pF)");
        };
        lines.push_back(Say(l, "Нагрузка, с которой фильтр ближе всего к расчёту: вход ",
                            "The ends that bring the filter closest to its design: input ") +
                        end(d.input) + Say(l, ", выход ", ", output ") + end(d.output) + ".");
    }
    return Joined(lines, "\n");
}

}  // namespace feldan
