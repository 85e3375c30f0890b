#include "engine/crystal_pick.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <memory>
#include <set>
#include <thread>

#include "circuit/analysis.h"
#include "circuit/topologies.h"
#include "engine/built_design.h"
#include "engine/crystal_pick_model.h"
#include "engine/design_run.h"
#include "engine/ladder_design.h"
#include "engine/result_text.h"

namespace feldan {

namespace {

using namespace pick_model;

// How many sets go on from the pre-score to the search of positions, and from there to the
// whole response.
constexpr std::size_t KeptForPositions = 256;
constexpr std::size_t KeptForBuilding = 32;
// The share of the progress each stage takes.
constexpr double PreScoreShare = 0.6, PositionsShare = 0.1;

// A set and its positions: bag indices per position.
struct Ranked {
    double score = 0;
    std::vector<Index> order;
};

std::vector<Index> MembersOf(const Ranked& r) {
    std::vector<Index> members = r.order;
    std::sort(members.begin(), members.end());
    return members;
}

bool Before(const Ranked& a, const Ranked& b) {
    if (a.score != b.score) return a.score < b.score;
    return a.order < b.order;
}

// The best `limit` offers, kept in a heap with the worst on top.
class BestSets {
  public:
    explicit BestSets(std::size_t limit) : limit_(limit) {}
    bool Wants(double score) const { return heap_.size() < limit_ || score <= heap_.front().score; }
    void Offer(Ranked ranked) {
        if (heap_.size() < limit_) {
            heap_.push_back(std::move(ranked));
            std::push_heap(heap_.begin(), heap_.end(), Before);
        } else if (Before(ranked, heap_.front())) {
            std::pop_heap(heap_.begin(), heap_.end(), Before);
            heap_.back() = std::move(ranked);
            std::push_heap(heap_.begin(), heap_.end(), Before);
        }
    }
    std::vector<Ranked>& Items() { return heap_; }

  private:
    std::size_t limit_;
    std::vector<Ranked> heap_;
};

// The best `limit` of several lists, each set once.
std::vector<Ranked> Merged(std::vector<BestSets>& lists, std::size_t limit) {
    std::vector<Ranked> all;
    for (BestSets& list : lists)
        for (Ranked& r : list.Items())
            all.push_back(std::move(r));
    std::sort(all.begin(), all.end(), Before);
    std::set<std::vector<Index>> seen;
    std::vector<Ranked> kept;
    for (Ranked& r : all) {
        if (kept.size() == limit) break;
        if (seen.insert(MembersOf(r)).second) kept.push_back(std::move(r));
    }
    return kept;
}

// Runs work(thread) on `threads` threads, the calling one among them.
template <class Work>
void OnThreads(int threads, const Work& work) {
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back([&work, t] { work(t); });
    work(0);
    for (std::thread& thread : pool)
        thread.join();
}

// Thread-local scratch of the pre-score.
struct Scratch {
    std::vector<MeshResonator> meshes;
    std::vector<std::size_t> order;
};

// The first positions tried for a set (members ascending in fs): in order of fs, as the pick by
// spread places them; and the crystals whose meshes stray most at the ends, whose loading makes
// them forgive it most, the closest to the mean in the middle.
double ArrangedScore(const PreScoreModel& model, const SetReference& set, Scratch& scratch,
                     std::vector<std::size_t>& best) {
    const std::size_t n = set.members.size();
    scratch.order.resize(n);
    for (std::size_t k = 0; k < n; ++k)
        scratch.order[k] = k;
    double bestScore = DepartureDb(model, set, scratch.order, scratch.meshes);
    best = scratch.order;
    const std::size_t middle = n / 2;
    double meanHz = 0;
    std::vector<double> stray(n);
    for (std::size_t k = 0; k < n; ++k) {
        stray[k] = MeshOf(*set.members[k], set.trimF[k], model.network.loopF[middle],
                          model.network.loopOhm[middle])
                       .hz;
        meanHz += stray[k] / static_cast<double>(n);
    }
    std::vector<std::size_t> byStray = scratch.order;
    std::stable_sort(byStray.begin(), byStray.end(), [&](std::size_t a, std::size_t b) {
        return std::fabs(stray[a] - meanHz) > std::fabs(stray[b] - meanHz);
    });
    for (std::size_t k = 0; k < n; ++k)
        scratch.order[k % 2 == 0 ? k / 2 : n - 1 - k / 2] = byStray[k];
    const double endsOut = DepartureDb(model, set, scratch.order, scratch.meshes);
    if (endsOut < bestScore) {
        bestScore = endsOut;
        best = scratch.order;
    }
    return bestScore;
}

// The pre-score of a set in its best first positions, as a ranked set; nothing when a trim is
// impossible.
std::optional<Ranked> PreScored(const PreScoreModel& model, std::span<const CrystalModel> bag,
                                std::span<const Index> members, Scratch& scratch) {
    const SetReference set = ReferenceOf(model, bag, members);
    if (!set.usable) return std::nullopt;
    std::vector<std::size_t> order;
    Ranked ranked;
    ranked.score = ArrangedScore(model, set, scratch, order) + set.fixedCostDb;
    for (std::size_t k : order)
        ranked.order.push_back(members[k]);
    return ranked;
}

// Better positions for a set by swapping two at a time while the departure falls.
Ranked ImprovedPositions(const PreScoreModel& model, std::span<const CrystalModel> bag,
                         const Ranked& start, Scratch& scratch) {
    const SetReference set = ReferenceOf(model, bag, start.order);
    if (!set.usable) return start;
    const std::size_t n = start.order.size();
    std::vector<std::size_t> order(n);
    for (std::size_t k = 0; k < n; ++k)
        order[k] = k;
    double best = DepartureDb(model, set, order, scratch.meshes);
    for (int pass = 0; pass < 4 * static_cast<int>(n); ++pass) {
        std::size_t bestA = 0, bestB = 0;
        double bestSwap = best;
        for (std::size_t a = 0; a < n; ++a) {
            for (std::size_t b = a + 1; b < n; ++b) {
                std::swap(order[a], order[b]);
                const double d = DepartureDb(model, set, order, scratch.meshes);
                if (d < bestSwap) {
                    bestSwap = d;
                    bestA = a;
                    bestB = b;
                }
                std::swap(order[a], order[b]);
            }
        }
        if (!(bestSwap < best)) break;
        std::swap(order[bestA], order[bestB]);
        best = bestSwap;
    }
    Ranked improved;
    improved.score = best + set.fixedCostDb;
    for (std::size_t k : order)
        improved.order.push_back(start.order[k]);
    return improved.score < start.score ? improved : start;
}

double Combinations(std::size_t m, std::size_t n) {
    double c = 1;
    for (std::size_t k = 1; k <= n; ++k)
        c = c * static_cast<double>(m - n + k) / static_cast<double>(k);
    return c;
}

// Every set of `n` of the crystals `sorted` (bag indices, ascending in fs), pre-scored.
std::vector<Ranked> PreScoreEverySet(const PreScoreModel& model, std::span<const CrystalModel> bag,
                                     const std::vector<Index>& sorted, std::size_t n, int threads,
                                     const std::function<void(double)>& progress,
                                     const std::atomic<bool>* cancel, long& searched) {
    const std::size_t m = sorted.size();
    // Work items: the first two members (one for a set of one), in lexicographic order, so the
    // largest items go first.
    const std::size_t prefix = std::min<std::size_t>(n, 2);
    std::vector<std::vector<std::size_t>> items;
    for (std::size_t a = 0; a + n <= m; ++a) {
        if (prefix == 1) {
            items.push_back({a});
            continue;
        }
        for (std::size_t b = a + 1; b + n - 1 <= m; ++b)
            items.push_back({a, b});
    }
    const double total = Combinations(m, n);
    std::atomic<std::size_t> next{0};
    std::atomic<long> done{0};
    std::vector<BestSets> lists(static_cast<std::size_t>(threads), BestSets(KeptForPositions));
    OnThreads(threads, [&](int t) {
        Scratch scratch;
        BestSets& list = lists[static_cast<std::size_t>(t)];
        std::vector<std::size_t> pick(n);
        std::vector<Index> members(n);
        for (std::size_t item; (item = next++) < items.size();) {
            if (cancel && cancel->load()) return;
            const std::vector<std::size_t>& head = items[item];
            std::copy(head.begin(), head.end(), pick.begin());
            // The rest of the set: the combinations of the crystals after the head.
            for (std::size_t k = prefix; k < n; ++k)
                pick[k] = pick[k - 1] + 1;
            long count = 0;
            while (true) {
                for (std::size_t k = 0; k < n; ++k)
                    members[k] = sorted[pick[k]];
                if (auto ranked = PreScored(model, bag, members, scratch);
                    ranked && list.Wants(ranked->score))
                    list.Offer(std::move(*ranked));
                ++count;
                std::size_t k = n;
                while (k > prefix && pick[k - 1] == m - n + k - 1)
                    --k;
                if (k == prefix) break;
                ++pick[k - 1];
                for (std::size_t j = k; j < n; ++j)
                    pick[j] = pick[j - 1] + 1;
            }
            const long all = done += count;
            if (progress) progress(PreScoreShare * static_cast<double>(all) / total);
        }
    });
    searched = done.load();
    return Merged(lists, KeptForPositions);
}

// A bag too large for every set: from every run of `n` neighbours in fs, and every run of `n`
// neighbours in Lm, one crystal of the set at a time is swapped for one of the 4n outside it
// nearest its mean fs while the pre-score falls. Every set met is ranked.
std::vector<Ranked> PreScoreBySwaps(const PreScoreModel& model, std::span<const CrystalModel> bag,
                                    const std::vector<Index>& sorted, std::size_t n, int threads,
                                    const std::function<void(double)>& progress,
                                    const std::atomic<bool>* cancel, long& searched) {
    const std::size_t m = sorted.size();
    const auto byFs = [&](Index a, Index b) {
        return bag[a].fsHz < bag[b].fsHz || (bag[a].fsHz == bag[b].fsHz && a < b);
    };
    const std::vector<Index> byLm = [&] {
        std::vector<Index> order = sorted;
        std::stable_sort(order.begin(), order.end(),
                         [&](Index a, Index b) { return bag[a].lmH < bag[b].lmH; });
        return order;
    }();
    std::vector<std::vector<Index>> startSets;
    for (const std::vector<Index>* order : {&sorted, &byLm}) {
        for (std::size_t first = 0; first + n <= m; ++first) {
            std::vector<Index> run(order->begin() + static_cast<std::ptrdiff_t>(first),
                                   order->begin() + static_cast<std::ptrdiff_t>(first + n));
            std::sort(run.begin(), run.end(), byFs);
            startSets.push_back(std::move(run));
        }
    }
    const std::size_t starts = startSets.size();
    std::atomic<std::size_t> next{0};
    std::atomic<long> met{0};
    std::atomic<std::size_t> startsDone{0};
    std::vector<BestSets> lists(static_cast<std::size_t>(threads), BestSets(KeptForPositions));
    std::vector<std::set<std::vector<Index>>> offered(static_cast<std::size_t>(threads));
    OnThreads(threads, [&](int t) {
        Scratch scratch;
        BestSets& list = lists[static_cast<std::size_t>(t)];
        std::set<std::vector<Index>>& seen = offered[static_cast<std::size_t>(t)];
        const auto score = [&](const std::vector<Index>& members) {
            std::optional<Ranked> ranked = PreScored(model, bag, members, scratch);
            ++met;
            if (!ranked) return double(INFINITY);
            const double s = ranked->score;
            if (seen.insert(members).second && list.Wants(s)) list.Offer(std::move(*ranked));
            return s;
        };
        for (std::size_t start; (start = next++) < starts;) {
            if (cancel && cancel->load()) return;
            std::vector<Index> current = startSets[start];
            double currentScore = score(current);
            for (std::size_t step = 0; step < 4 * n; ++step) {
                double meanHz = 0;
                for (Index i : current)
                    meanHz += bag[i].fsHz / static_cast<double>(n);
                std::vector<Index> outside;
                for (Index i : sorted) {
                    if (std::find(current.begin(), current.end(), i) == current.end())
                        outside.push_back(i);
                }
                std::stable_sort(outside.begin(), outside.end(), [&](Index a, Index b) {
                    return std::fabs(bag[a].fsHz - meanHz) < std::fabs(bag[b].fsHz - meanHz);
                });
                outside.resize(std::min(outside.size(), 4 * n));
                std::vector<Index> best;
                double bestScore = currentScore;
                for (std::size_t k = 0; k < n; ++k) {
                    for (Index in : outside) {
                        std::vector<Index> trial = current;
                        trial[k] = in;
                        std::sort(trial.begin(), trial.end(), byFs);
                        const double s = score(trial);
                        if (s < bestScore) {
                            bestScore = s;
                            best = trial;
                        }
                    }
                }
                if (best.empty()) break;
                current = best;
                currentScore = bestScore;
            }
            const std::size_t all = ++startsDone;
            if (progress)
                progress(PreScoreShare * static_cast<double>(all) / static_cast<double>(starts));
        }
    });
    searched = met.load();
    return Merged(lists, KeptForPositions);
}

// The set in positions `order` built whole, with its figures; nothing when the design cannot be
// built from it (its message then in `message`).
std::optional<PickFigures> Built(std::span<const CrystalModel> bag, std::span<const Index> order,
                                 const PickRequest& request, Message* message = nullptr) {
    std::vector<CrystalModel> crystals;
    for (Index i : order)
        crystals.push_back(bag[i]);
    const Designed designed = RunDesign(request.design, '.', crystals, request.trim);
    const DesignBuild build = BuildDesign(designed);
    if (!build.built || !designed.set) {
        if (message) *message = build.message;
        return std::nullopt;
    }
    const DesignBuild referenceBuild = BuildDesign(RunDesign(designed.set->fields, '.'));
    if (!referenceBuild.built) {
        if (message) *message = referenceBuild.message;
        return std::nullopt;
    }
    const BuiltDesign& built = *build.built;
    const BuiltDesign& reference = *referenceBuild.built;
    const Synthesis& synthesis = built.design.synthesis;
    const std::vector<CurvePoint>& curve = reference.schematic.curve;
    const double foHz = reference.design.input.FoKHz * 1000;
    auto circuit = std::make_unique<CircuitAnalysis>();
    BuildSchematicCircuit(*circuit, synthesis.Circuit, built.values, synthesis.InputOhm,
                          synthesis.OutputOhm);
    std::vector<TwoPortPoint> work;
    std::vector<double> levels;
    LevelsAt(*circuit, OmegasOfCurve(curve, foHz), work, levels);

    PickFigures figures;
    figures.crystals.assign(order.begin(), order.end());
    double peakDb = -INFINITY;
    for (const CurvePoint& point : curve)
        peakDb = std::max(peakDb, point.y);
    for (std::size_t i = 0; i < curve.size(); ++i) {
        if (curve[i].y >= peakDb - 3)
            figures.departureDb = std::max(figures.departureDb, std::fabs(levels[i] - curve[i].y));
    }
    figures.bandwidthHz = built.schematic.measurements.MeasuredDfHz;
    figures.designBandwidthHz = reference.schematic.measurements.MeasuredDfHz;
    figures.rippleDb = RippleOf(built.schematic.curve);
    const CrystalSetDesign& set = *designed.set;
    figures.trimsApplied = set.trim;
    for (std::size_t p = 0; p < set.trimF.size(); ++p) {
        figures.trimsPF.push_back(set.trimF[p] * 1e12);
        if (set.trim && set.trimF[p] > 0) {
            ++figures.trimCount;
            figures.largestLiftHz =
                std::max(figures.largestLiftHz, set.alignedHz - crystals[p].fsHz);
        }
    }
    if (const UnwantedResponse* worst = WorstUnwanted(set)) figures.worstUnwanted = *worst;
    double lowLm = INFINITY, highLm = 0;
    for (const CrystalModel& c : crystals) {
        lowLm = std::min(lowLm, c.lmH);
        highLm = std::max(highLm, c.lmH);
    }
    figures.lmSpreadPct = 100 * (highLm - lowLm) / set.mean.lmH;
    if (const auto network = MeshNetworkOf(synthesis.Circuit, built.values, synthesis.InputOhm,
                                           synthesis.OutputOhm, foHz)) {
        const double meanTrimF =
            set.trim ? std::max(SeriesTrimFor(set.mean, set.alignedHz), 0.0) : 0;
        double low = INFINITY, high = -INFINITY;
        for (std::size_t p = 0; p < crystals.size(); ++p) {
            const double loopF = network->loopF[p], loopOhm = network->loopOhm[p];
            const double detuning =
                MeshOf(crystals[p], set.trim ? set.trimF[p] : 0, loopF, loopOhm).hz -
                MeshOf(set.mean, meanTrimF, loopF, loopOhm).hz;
            low = std::min(low, detuning);
            high = std::max(high, detuning);
        }
        figures.meshSpreadHz = high - low;
    }
    figures.score = PickScore(figures, bag);
    return figures;
}

}  // namespace

double PickScore(const PickFigures& figures, std::span<const CrystalModel> bag) {
    const double bandHz = figures.designBandwidthHz;
    double score = figures.departureDb;
    if (bandHz > 0) score += BandWeightDb * std::fabs(figures.bandwidthHz - bandHz) / bandHz;
    if (figures.trimsApplied && bandHz > 0) {
        double topHz = 0;
        for (std::size_t i : figures.crystals)
            topHz = std::max(topHz, bag[i].fsHz);
        std::vector<double> lifts;
        for (std::size_t i : figures.crystals)
            lifts.push_back(topHz - bag[i].fsHz);
        score += TrimCostDb(lifts, bandHz);
    }
    if (figures.worstUnwanted)
        score += UnwantedWeight * std::max(0.0, figures.worstUnwanted->levelDb - UnwantedFreeDb);
    return score;
}

PickResult PickByResponse(std::span<const CrystalModel> bag, const PickRequest& request,
                          const std::function<void(double)>& progress,
                          const std::atomic<bool>* cancel) {
    PickResult result;
    if (cancel && cancel->load()) {
        result.cancelled = true;
        return result;
    }
    const int count = CrystalCountOf(request.design.filterType);
    std::vector<CrystalModel> usable;
    std::vector<std::size_t> bagIndex;
    for (std::size_t i = 0; i < bag.size(); ++i) {
        if (UsableCrystal(bag[i])) {
            usable.push_back(bag[i]);
            bagIndex.push_back(i);
        }
    }
    const auto refuse = [&](Outcome outcome, Message message) {
        result.outcome = outcome;
        result.message = std::move(message);
        return result;
    };
    if (count <= 0) return refuse(Outcome::Error, {MessageId::BadFilterType, ""});
    // Its meshes are not one crystal each: two ends hold a paralleled pair.
    if (IsQer(request.design.filterType))
        return refuse(Outcome::Warning, {MessageId::PickNoQer, ""});
    const std::size_t n = static_cast<std::size_t>(count);
    if (usable.size() < n)
        return refuse(Outcome::Warning, {MessageId::PickTooFew, std::to_string(count)});
    const auto toBag = [&](PickFigures figures) {
        for (std::size_t& i : figures.crystals)
            i = bagIndex[i];
        return figures;
    };

    // The set of the smallest fs spread, lowest fs first: the comparison, and the design the
    // pre-score's model is taken from.
    std::vector<Index> bySpread;
    for (std::size_t i : PickBestSet(usable, n))
        bySpread.push_back(static_cast<Index>(i));
    Message failure;
    std::optional<PickFigures> spreadFigures = Built(usable, bySpread, request, &failure);
    if (!spreadFigures) {
        return refuse(failure.id == MessageId::CrystalSetValue ||
                              failure.id == MessageId::CrystalTrimImpossible
                          ? Outcome::Error
                          : Outcome::Warning,
                      failure);
    }
    const std::optional<PreScoreModel> model = ModelOf(usable, bySpread, request);
    int threads = request.threads > 0 ? request.threads
                                      : static_cast<int>(std::thread::hardware_concurrency());
    threads = std::clamp(threads, 1, 64);

    std::vector<Index> sorted(usable.size());
    for (std::size_t i = 0; i < sorted.size(); ++i)
        sorted[i] = static_cast<Index>(i);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](Index a, Index b) { return usable[a].fsHz < usable[b].fsHz; });
    std::vector<Ranked> candidates;
    if (model) {
        result.exhaustive = Combinations(usable.size(), n) <= double(ExhaustivePickSets);
        candidates = result.exhaustive ? PreScoreEverySet(*model, usable, sorted, n, threads,
                                                          progress, cancel, result.setsSearched)
                                       : PreScoreBySwaps(*model, usable, sorted, n, threads,
                                                         progress, cancel, result.setsSearched);
        if (cancel && cancel->load()) {
            result.cancelled = true;
            return result;
        }
        // Positions by swaps for the best sets, the set of the smallest spread among them.
        Ranked spread{INFINITY, bySpread};
        candidates.push_back(spread);
        std::atomic<std::size_t> next{0};
        std::atomic<std::size_t> done{0};
        OnThreads(threads, [&](int) {
            Scratch scratch;
            for (std::size_t k; (k = next++) < candidates.size();) {
                if (cancel && cancel->load()) return;
                candidates[k] = ImprovedPositions(*model, usable, candidates[k], scratch);
                if (progress)
                    progress(PreScoreShare + PositionsShare * static_cast<double>(++done) /
                                                 static_cast<double>(candidates.size()));
            }
        });
        // The set of the smallest spread is built in the positions the search gave it as well.
        const Ranked spreadPlaced = candidates.back();
        std::vector<BestSets> lists(1, BestSets(candidates.size()));
        for (Ranked& r : candidates)
            lists[0].Offer(std::move(r));
        candidates = Merged(lists, KeptForBuilding);
        if (std::none_of(candidates.begin(), candidates.end(),
                         [&](const Ranked& r) { return MembersOf(r) == MembersOf(spreadPlaced); }))
            candidates.push_back(spreadPlaced);
    }
    // Without a model of the meshes (a topology whose crystals share no shunt part), the set of
    // the smallest spread stands alone.
    if (cancel && cancel->load()) {
        result.cancelled = true;
        return result;
    }

    std::vector<std::optional<PickFigures>> built(candidates.size());
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> done{0};
    OnThreads(threads, [&](int) {
        for (std::size_t k; (k = next++) < candidates.size();) {
            if (cancel && cancel->load()) return;
            built[k] = Built(usable, candidates[k].order, request);
            if (progress)
                progress(PreScoreShare + PositionsShare +
                         (1 - PreScoreShare - PositionsShare) * static_cast<double>(++done) /
                             static_cast<double>(candidates.size()));
        }
    });
    if (cancel && cancel->load()) {
        result.cancelled = true;
        return result;
    }
    std::optional<PickFigures> best = spreadFigures;
    for (std::optional<PickFigures>& figures : built) {
        if (!figures) continue;
        ++result.setsBuilt;
        if (figures->score < best->score) best = std::move(figures);
    }
    result.byResponse = toBag(std::move(*best));
    result.byFsSpread = toBag(std::move(*spreadFigures));
    return result;
}

std::string PickFiguresText(const PickFigures& f, char separator, Language language) {
    const bool english = language == Language::English;
    // Hertz and per cent whole or to a tenth, decibels to a thousandth.
    const auto number = [&](double value, double step) {
        return FormatGeneral(std::round(value / step) * step + 0.0, 8, separator);
    };
    const char* hz = english ? " Hz" : " Гц";
    std::string text =
        (english ? "departure from the design " : "отклонение от расчёта ") +
        number(f.departureDb, 0.001) + (english ? " dB; band " : " дБ; полоса ") +
        number(f.bandwidthHz, 1) + hz + (english ? " (design " : " (расчёт ") +
        number(f.designBandwidthHz, 1) + hz + (english ? "); ripple " : "); неравномерность ") +
        number(f.rippleDb, 0.001) +
        (english ? " dB; mesh spread " : " дБ; разброс частот контуров ") +
        number(f.meshSpreadHz, 1) + hz + ", Lm " + number(f.lmSpreadPct, 0.1) + " %; ";
    if (f.trimCount == 0) {
        text += english ? "no trims" : "без подстроек";
    } else {
        const std::string lift = number(f.largestLiftHz, 1);
        text += english ? std::to_string(f.trimCount) + " trims, lifting up to " + lift + hz
                        : "подстроек " + std::to_string(f.trimCount) + ", сдвиг до " + lift + hz;
    }
    if (f.worstUnwanted) text += "; " + UnwantedResponseText(*f.worstUnwanted, separator, language);
    return text;
}

}  // namespace feldan
