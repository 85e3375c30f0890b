#include "ui/assembly/parts_list.h"

#include <algorithm>

#include <QLocale>

#include "engine/messages.h"
#include "ui/common/design_document.h"
#include "ui/common/language.h"
#include "ui/common/ui_text.h"

namespace feldan {

std::vector<PartsListRow> PartsList::Rows(const ProjectBuild& build,
                                          std::span<const NamedCrystal> crystals) {
    if (!build.built) {
        return {{tr("Схема не рассчитана"), MessageShown(build.message), QString()}};
    }
    std::vector<PartsListRow> rows;
    const auto valueText = [](const TunablePart& part, double value) {
        return part.IsTermination() ? tr("%1 Ом").arg(LocaleNumber(value, 5))
                                    : tr("%1 пФ").arg(LocaleNumber(value, 5));
    };
    const auto solderText = [&](const TunablePart& part) {
        if (part.Tuned()) return tr("%1 (подстроено)").arg(valueText(part, part.value));
        if (part.pair) {
            return tr("%1 + %2 пФ параллельно")
                .arg(LocaleNumber(part.pair->larger, 4), LocaleNumber(part.pair->smaller, 4));
        }
        if (part.built != part.designed) return valueText(part, part.built);
        return QString();
    };
    const bool twoEnds = std::any_of(
        build.parts.begin(), build.parts.end(),
        [](const TunablePart& part) { return part.kind == TunableKind::OutputTermination; });
    for (const TunablePart& part : build.parts) {
        // Trims go with their crystal's row; a fitted crystal or Rm is no part to buy.
        if (part.kind == TunableKind::Trim || part.kind == TunableKind::Crystal ||
            part.kind == TunableKind::MotionalResistance)
            continue;
        const QString name =
            part.kind == TunableKind::Termination ? (twoEnds ? tr("Rвх") : tr("Rвх (вход и выход)"))
            : part.kind == TunableKind::OutputTermination ? tr("Rвых")
                                                          : FromUtf8(JoinedLabels(part.labels));
        rows.push_back({name, valueText(part, part.designed), solderText(part)});
    }
    for (std::size_t k = 0; k < crystals.size(); ++k) {
        const int position = int(k) + 1;
        PartsListRow row{tr("ZQ%1").arg(position),
                         tr("%1, fs %2 кГц")
                             .arg(FromUtf8(crystals[k].name),
                                  NumberLocale().toString(crystals[k].model.fsHz / 1000, 'f', 3)),
                         QString()};
        const std::string trimLabel = "Ct" + std::to_string(position);
        for (const TunablePart& part : build.parts) {
            if (part.label != trimLabel) continue;
            row.solder =
                part.Tuned()
                    ? tr("подстроечный %1 пФ (подстроено)").arg(LocaleNumber(part.value, 4))
                    : tr("подстроечный %1 пФ").arg(LocaleNumber(part.value, 4));
        }
        rows.push_back(row);
    }
    if (const std::optional<EndMatching>& m = build.matching) {
        const QString system = LocaleNumber(m->ends.systemOhm, 4);
        // One row for an end's network and one for its transformer; a row for both ends when
        // they are alike.
        const auto end = [&](const QString& name, const LNetwork& network,
                             const std::optional<ParallelPair>& soldered, double ratio) {
            const QString inductor = LocaleNumber(network.seriesH * 1e6, 4);
            const QString capacitor = soldered && soldered->smaller > 0
                                          ? tr("%1 + %2").arg(LocaleNumber(soldered->larger, 4),
                                                              LocaleNumber(soldered->smaller, 4))
                                          : LocaleNumber(network.shuntF * 1e12, 4);
            rows.push_back({name.arg(system),
                            network.shuntAtTo
                                ? tr("L %1 мкГн, C %2 пФ у фильтра").arg(inductor, capacitor)
                                : tr("L %1 мкГн, C %2 пФ у источника").arg(inductor, capacitor),
                            QString()});
            rows.push_back({tr("или трансформатор"),
                            tr("N2/N1 = %1 (N1 к %2 Ом)").arg(LocaleNumber(ratio, 4), system),
                            QString()});
        };
        if (!m->output) {
            end(tr("L-цепь к %1 Ом"), m->ends.network, m->shuntParts, m->turnsRatio);
        } else {
            end(tr("L-цепь входа к %1 Ом"), m->ends.network, m->shuntParts, m->turnsRatio);
            end(tr("L-цепь выхода к %1 Ом"), m->ends.outputNetwork, m->output->shuntParts,
                m->output->turnsRatio);
        }
    }
    return rows;
}

std::vector<PartsListRow> PartsList::OfDocument(const DesignDocument& document) {
    return Rows(document.Build(), document.WholeProject().NamedCrystalsOfSet());
}

}  // namespace feldan
