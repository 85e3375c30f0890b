#include "cli/build_commands.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>

#include "cli/calculation.h"
#include "cli/command_line.h"
#include "cli/shell_text.h"
#include "cli/usage.h"
#include "engine/matching.h"
#include "engine/messages.h"
#include "engine/project.h"
#include "engine/rounding.h"
#include "engine/standard_values.h"
#include "engine/tolerance.h"
#include "files/project_file.h"

namespace feldan::cli {

namespace {

using Json = nlohmann::ordered_json;

// The project built (BuildProject), or an exit status.
std::optional<int> Build(const Project& project, const CliOptions& options, std::ostream& err,
                         ProjectBuild& build) {
    const char separator = options.separator ? options.separator->front() : '.';
    build = BuildProject(project, separator);
    if (build.outcome == Outcome::Done) return std::nullopt;
    WriteLine(err, MessageText(build.message, LanguageOf(options)));
    return build.outcome == Outcome::Error ? 2 : 1;
}

Json MeasurementsJson(const CalculationResult& r) {
    Json j;
    const Measurements& m = r.measurements;
    const bool done = r.outcome == Outcome::Done;
    j["AminDb"] = done ? Json(m.AminDb) : Json(nullptr);
    j["PeakHz"] = done ? Json(m.PeakHz) : Json(nullptr);
    j["LowerEdgeHz"] = done ? Json(m.LowerEdgeHz) : Json(nullptr);
    j["UpperEdgeHz"] = done ? Json(m.UpperEdgeHz) : Json(nullptr);
    j["MeasuredDfHz"] = done ? Json(m.MeasuredDfHz) : Json(nullptr);
    j["rippleDb"] = done ? Json(RippleOf(r.curve)) : Json(nullptr);
    j["flatnessDb"] = done ? Json(FlatnessOf(r.curve)) : Json(nullptr);
    return j;
}

// The units of the printed results.
struct Units {
    const char *pF, *ohm, *hz, *dB;
};
constexpr Units RussianUnits = {"пФ", "Ом", "Гц", "дБ"};
constexpr Units EnglishUnits = {"pF", "Ohm", "Hz", "dB"};

const Units& UnitsOf(Language language) {
    return language == Language::English ? EnglishUnits : RussianUnits;
}

int RunRound(const std::vector<std::string>& args, Language language, std::ostream& out,
             std::ostream& err) {
    CLI::App app{
        "Round every capacitor of the schematic to a standard value, re-simulate the "
        "filter as built and show what changed.",
        "round"};
    CliOptions options;
    AddDesignOptions(app, options);
    std::string series;
    std::optional<double> parallelPct;
    bool refit = false, refitE24 = false, json = false;
    Check(app.add_option("--series", series,
                         "E6, E12, E24 or E96. Without it, the rounding of --project, with the "
                         "choices it saved."),
          OneOf({"E6", "E12", "E24", "E96"}));
    Check(app.add_option("--parallel-pct", parallelPct,
                         "Use two standard parts in parallel where one alone is more than P per "
                         "cent off.")
              ->type_name("P"),
          AtLeast(0, Quantity::Percentage));
    app.add_flag("--refit-termination", refit,
                 "Refit the termination resistance: the one that brings the rounded response "
                 "nearest the ideal one (least RMS difference in dB over the ideal pass band).");
    app.add_flag("--termination-e24", refitE24, "Round the refitted termination to E24.");
    app.add_flag("--json", json, "Print the result as one JSON object.");
    if (auto status = ParseSubcommand(app, args, language, out, err)) return *status;
    Project project;
    if (auto status = ProjectOf("round", options, err, project)) return *status;
    RoundingRequest request;
    if (!series.empty()) {
        ESeriesFromName(series, request.series);
        request.parallelPct = parallelPct;
        request.refitTermination = refit || refitE24;
        request.terminationToE24 = refitE24;
    } else if (project.rounding) {
        request = *project.rounding;
    } else {
        return ReportUsage("round",
                           InLanguage(language, "нужно задать --series или --project с округлением",
                                      "--series is required, or a --project with a rounding"),
                           language, err);
    }
    ProjectBuild build;
    if (auto status = Build(project, options, err, build)) return *status;
    const RoundingResult r = RoundDesign(*build.built, request);
    if (r.rounded.outcome != Outcome::Done)
        WriteLine(err, MessageText(r.rounded.message, language));
    if (json) {
        Json j;
        Json& caps = j["capacitors"] = Json::array();
        for (const RoundedCapacitor& c : r.capacitors) {
            for (const std::string& label : c.labels) {
                Json cap;
                cap["label"] = label;
                cap["nominalPF"] = c.nominalPF;
                cap["roundedPF"] = c.roundedPF;
                if (c.pair) cap["parallelPF"] = Json::array({c.pair->larger, c.pair->smaller});
                caps.push_back(cap);
            }
        }
        j["terminationOhm"] = {{"nominal", r.nominalTerminationOhm},
                               {"rounded", r.roundedTerminationOhm}};
        if (r.nominalOutputTerminationOhm != r.nominalTerminationOhm) {
            j["outputTerminationOhm"] = {{"nominal", r.nominalOutputTerminationOhm},
                                         {"rounded", r.roundedOutputTerminationOhm}};
        }
        j.update(MeasurementsJson(r.rounded));
        Dump(j, out);
        out << '\n';
    } else {
        const Units& u = UnitsOf(language);
        for (const RoundedCapacitor& c : r.capacitors) {
            out << JoinedLabels(c.labels) << ": " << Short(c.nominalPF, 5) << ' ' << u.pF << " -> "
                << (c.pair ? Short(c.pair->larger, 5) + " + " + Short(c.pair->smaller, 5)
                           : Short(c.roundedPF, 5))
                << ' ' << u.pF << '\n';
        }
        out << InLanguage(language, "Rвх", "Rin") << ": " << Short(r.nominalTerminationOhm, 5)
            << ' ' << u.ohm << " -> " << Short(r.roundedTerminationOhm, 5) << ' ' << u.ohm << '\n';
        if (r.nominalOutputTerminationOhm != r.nominalTerminationOhm) {
            out << InLanguage(language, "Rвых", "Rout") << ": "
                << Short(r.nominalOutputTerminationOhm, 5) << ' ' << u.ohm << " -> "
                << Short(r.roundedOutputTerminationOhm, 5) << ' ' << u.ohm << '\n';
        }
        if (r.rounded.outcome == Outcome::Done) {
            const Measurements& m = r.rounded.measurements;
            const Measurements& n = build.built->schematic.measurements;
            out << "dF: " << Short(n.MeasuredDfHz, 5) << ' ' << u.hz << " -> "
                << Short(m.MeasuredDfHz, 5) << ' ' << u.hz << "; "
                << InLanguage(language, "Амин", "Amin") << ": " << Short(n.AminDb, 3) << ' ' << u.dB
                << " -> " << Short(m.AminDb, 3) << ' ' << u.dB << '\n';
            const std::vector<CurvePoint>& nominal = build.built->schematic.curve;
            out << InLanguage(language, "неравномерность", "ripple") << ": "
                << Short(RippleOf(nominal), 3) << ' ' << u.dB << " -> "
                << Short(RippleOf(r.rounded.curve), 3) << ' ' << u.dB << "; "
                << InLanguage(language, "плоскостность", "flatness") << ": "
                << Short(FlatnessOf(nominal), 3) << ' ' << u.dB << " -> "
                << Short(FlatnessOf(r.rounded.curve), 3) << ' ' << u.dB << '\n';
        }
    }
    return r.rounded.outcome == Outcome::Done ? 0 : 1;
}

Json PercentilesJson(const Percentiles& p) {
    return {{"min", p.min}, {"p5", p.p5}, {"median", p.median}, {"p95", p.p95}, {"max", p.max}};
}

int RunTolerance(const std::vector<std::string>& args, Language language, std::ostream& out,
                 std::ostream& err) {
    CLI::App app{
        "Monte Carlo: the filter as built, with every capacitor, crystal frequency and "
        "resistance drawn within its tolerance, trial after trial; the spread of the "
        "band width, ripple and minimum attenuation, and the yield.",
        "tolerance"};
    CliOptions options;
    AddDesignOptions(app, options);
    ToleranceRequest request;
    std::string distribution = "uniform";
    bool json = false;
    Check(app.add_option("--trials", request.trials, "Number of trials. Default 500."),
          WholeBetween(1, 1000000));
    Check(app.add_option("--cap-tolerance", request.capTolerancePct,
                         "Capacitor tolerance, +/- per cent.")
              ->required(),
          Between(0, 100, Quantity::Percentage));
    Check(app.add_option("--distribution", distribution,
                         "uniform (default) or normal (the tolerance is 3 sigma, cut there)."),
          OneOf({"uniform", "normal"}));
    Check(app.add_option("--fs-spread-hz", request.fsSpreadHz,
                         "Sigma of each crystal's series resonance, Hz."),
          AtLeast(0, Quantity::Frequency));
    Check(app.add_option("--rm-spread-pct", request.rmSpreadPct,
                         "Sigma of each crystal's Rm, per cent."),
          AtLeast(0, Quantity::Percentage));
    Check(app.add_option("--seed", request.seed, "Seed of the random numbers. Default 1."),
          WholeBetween(0, static_cast<long double>(std::numeric_limits<std::uint64_t>::max())));
    Check(app.add_option("--bandwidth-tolerance-pct", request.bandwidthTolerancePct,
                         "Yield target: band width within +/- X per cent of the nominal design's. "
                         "Default 5."),
          AtLeast(0, Quantity::Percentage));
    Check(app.add_option("--max-ripple-db", request.maxRippleDb,
                         "Yield target: ripple at most Y dB above the nominal design's. Default "
                         "0.5."),
          AtLeast(0, Quantity::Level));
    app.add_flag("--json", json, "Print the result as one JSON object.");
    if (auto status = ParseSubcommand(app, args, language, out, err)) return *status;
    request.distribution = distribution == "normal" ? Distribution::Normal : Distribution::Uniform;
    Project project;
    if (auto status = ProjectOf("tolerance", options, err, project)) return *status;
    ProjectBuild build;
    if (auto status = Build(project, options, err, build)) return *status;
    // The filter as built: rounded and tuned where the project says so.
    const ToleranceResult r = feldan::RunTolerance(AsBuilt(build), request);
    if (json) {
        Json j;
        j["trials"] = r.trials;
        j["seed"] = request.seed;
        j["failed"] = r.failed;
        j["yield"] = r.yield;
        j["bandwidthHz"] = PercentilesJson(r.bandwidth);
        j["rippleDb"] = PercentilesJson(r.ripple);
        j["flatnessDb"] = PercentilesJson(r.flatness);
        j["aminDb"] = PercentilesJson(r.amin);
        Dump(j, out);
        out << '\n';
    } else {
        const bool english = language == Language::English;
        const Units& u = UnitsOf(language);
        const auto line = [&](const std::string& name, const Percentiles& p, const char* unit) {
            out << name << (english ? ": min " : ": мин ") << Short(p.min, 5) << ", 5% "
                << Short(p.p5, 5) << (english ? ", median " : ", медиана ") << Short(p.median, 5)
                << ", 95% " << Short(p.p95, 5) << (english ? ", max " : ", макс ")
                << Short(p.max, 5) << ' ' << unit << '\n';
        };
        const std::string trials = std::to_string(r.trials);
        const std::string failed = std::to_string(r.failed);
        const std::string yield = Short(r.yield * 100, 4);
        out << InLanguage(language,
                          "испытаний: " + trials + ", неудачных: " + failed + "; выход годных " +
                              yield + " %",
                          trials + " trials, " + failed + " failed; yield " + yield + " %")
            << '\n';
        line("dF", r.bandwidth, u.hz);
        line(InLanguage(language, "неравномерность", "ripple"), r.ripple, u.dB);
        line(InLanguage(language, "плоскостность", "flatness"), r.flatness, u.dB);
        line(InLanguage(language, "Амин", "Amin"), r.amin, u.dB);
    }
    return 0;
}

int RunMatch(const std::vector<std::string>& args, Language language, std::ostream& out,
             std::ostream& err) {
    CLI::App app{
        "Match each end of the filter as built (its Rin) to a source or load of 50 Ohm: "
        "an L network of a series inductor and a shunt capacitor, or a broadband "
        "transformer.",
        "match"};
    CliOptions options;
    AddDesignOptions(app, options);
    std::optional<double> ohm;
    bool json = false;
    Check(app.add_option("--ohm", ohm,
                         "The resistance of the source and load. Default: that of --project, "
                         "else 50."),
          Above(0, Quantity::Resistance));
    app.add_flag("--json", json, "Print the result as one JSON object.");
    if (auto status = ParseSubcommand(app, args, language, out, err)) return *status;
    Project project;
    if (auto status = ProjectOf("match", options, err, project)) return *status;
    project.matchOhm = ohm ? *ohm : project.matchOhm.value_or(50);
    ProjectBuild build;
    if (auto status = Build(project, options, err, build)) return *status;
    // The ends as soldered: from the terminations in force (rounded, tuned), with the
    // capacitors in standard parts under a rounding; each end on its own when they differ.
    if (!build.matching) return 1;  // a termination of 0 Ohm: Build said why
    const EndMatching& m = *build.matching;
    const MatchedEnds& ends = m.ends;
    const EndParts input{m.exactShuntPF, m.shuntParts, m.turnsRatio};
    const auto shuntAt = [](const LNetwork& network) {
        return std::string(network.shuntAtTo ? "filter" : "source");
    };
    const auto partsText = [](const EndParts& end) {
        const std::optional<ParallelPair>& p = end.shuntParts;
        return !p               ? std::string()
               : p->smaller > 0 ? " = " + Short(p->larger, 5) + " + " + Short(p->smaller, 5)
                                : " = " + Short(p->larger, 5);
    };
    if (json) {
        const auto endJson = [&](Json& j, double terminationOhm, const LNetwork& network,
                                 const EndParts& end) {
            j["terminationOhm"] = terminationOhm;
            j["seriesUH"] = network.seriesH * 1e6;
            j["shuntPF"] = end.exactShuntPF;
            if (end.shuntParts)
                j["shuntPartsPF"] = Json::array({end.shuntParts->larger, end.shuntParts->smaller});
            j["shuntAt"] = shuntAt(network);
            j["turnsRatio"] = end.turnsRatio;
        };
        Json j;
        j["sourceOhm"] = ends.systemOhm;
        endJson(j, ends.terminationOhm, ends.network, input);
        if (m.output) endJson(j["output"], ends.OutputOhm(), ends.outputNetwork, *m.output);
        Dump(j, out);
        out << '\n';
        return 0;
    }
    const std::string system = Short(ends.systemOhm, 5);
    // Which end a line is about, and the name of that end's resistance.
    const auto write = [&](const char* endRu, const char* endEn, const char* rRu, const char* rEn,
                           double rOhm, const LNetwork& network, const EndParts& end) {
        if (language == Language::English) {
            out << "L network " << endEn << ", " << system << " Ohm to " << rEn << "="
                << Short(rOhm, 4) << " Ohm: series L=" << Short(network.seriesH * 1e6, 5)
                << " uH, shunt C=" << Short(end.exactShuntPF, 5) << partsText(end)
                << " pF across the " << shuntAt(network) << " side.\n"
                << "Or a transformer with turns ratio " << Short(end.turnsRatio, 4)
                << " (filter side : " << system << " Ohm side).\n";
        } else {
            out << "Г-звено " << endRu << ", " << system << " Ом к " << rRu << "=" << Short(rOhm, 4)
                << " Ом: последовательная L=" << Short(network.seriesH * 1e6, 5)
                << " мкГн, параллельная C=" << Short(end.exactShuntPF, 5) << partsText(end)
                << " пФ на стороне " << (network.shuntAtTo ? "фильтра" : "источника") << ".\n"
                << "Или трансформатор с коэффициентом трансформации " << Short(end.turnsRatio, 4)
                << " (сторона фильтра : сторона " << system << " Ом).\n";
        }
    };
    if (!m.output) {
        write("на каждом конце", "at each end", "Rвх", "Rin", ends.terminationOhm, ends.network,
              input);
    } else {
        write("на входе", "at the input", "Rвх", "Rin", ends.terminationOhm, ends.network, input);
        write("на выходе", "at the output", "Rвых", "Rout", ends.OutputOhm(), ends.outputNetwork,
              *m.output);
    }
    return 0;
}

}  // namespace

bool IsBuildCommand(const std::string& word) {
    return word == "round" || word == "tolerance" || word == "match";
}

int RunBuildCommand(const std::vector<std::string>& args, Language language, std::ostream& out,
                    std::ostream& err) {
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args.front() == "round") return RunRound(rest, language, out, err);
    if (args.front() == "tolerance") return RunTolerance(rest, language, out, err);
    return RunMatch(rest, language, out, err);
}

}  // namespace feldan::cli
