#include "cli/crystal_commands.h"
#include "cli/output_file.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>
#include <optional>

#include "cli/calculation.h"
#include "cli/command_line.h"
#include "cli/shell_text.h"
#include "cli/usage.h"
#include "engine/crystal.h"
#include "engine/crystal_modes.h"
#include "engine/crystal_pick.h"
#include "engine/ladder_design.h"
#include "engine/messages.h"
#include "files/atomic_file.h"
#include "files/crystal_csv.h"
#include "files/project_file.h"
#include "files/touchstone.h"

namespace feldan::cli {

namespace {

using Json = nlohmann::ordered_json;

// The units of a crystal's values, in the words of the window's fields.
struct CrystalUnits {
    const char *kHz, *mH, *pF, *ohm, *fF;
};
constexpr CrystalUnits RussianUnits = {"кГц", "мГн", "пФ", "Ом", "фФ"};
constexpr CrystalUnits EnglishUnits = {"kHz", "mH", "pF", "Ohm", "fF"};

}  // namespace

void AddCrystalKeys(Json& json, const CrystalModel* m) {
    json["FoKHz"] = m ? Json(m->fsHz / 1000) : Json(nullptr);
    json["LdMH"] = m ? Json(m->lmH * 1000) : Json(nullptr);
    json["CsPF"] = m ? Json(m->c0F * 1e12) : Json(nullptr);
    json["RdOhm"] = m ? Json(m->rmOhm) : Json(nullptr);
    json["CmF"] = m ? Json(m->cmF) : Json(nullptr);
    json["Q"] = m ? Json(m->Q()) : Json(nullptr);
}

Json FitJson(const CrystalFit& fit, const std::optional<std::string>& message) {
    const bool hasModel = fit.verdict != FitVerdict::NoResonance;
    Json j;
    AddCrystalKeys(j, hasModel ? &fit.model : nullptr);
    j["rmsErrorDb"] = hasModel ? Json(fit.rmsErrorDb) : Json(nullptr);
    j["iterations"] = fit.iterations;
    j["message"] = message ? Json(*message) : Json(nullptr);
    if (fit.modesSought > 0) {
        // One entry per mode looked for: its values, or null for a mode not found.
        Json& modes = j["modes"] = Json::array();
        for (int k = 0; k < fit.modesSought; ++k) {
            if (!hasModel || k >= static_cast<int>(fit.model.modes.size())) {
                modes.push_back(nullptr);
                continue;
            }
            const CrystalMode& m = fit.model.modes[static_cast<std::size_t>(k)];
            modes.push_back({{"FoKHz", m.fsHz / 1000},
                             {"offsetKHz", (m.fsHz - fit.model.fsHz) / 1000},
                             {"LdMH", m.lmH * 1000},
                             {"RdOhm", m.rmOhm},
                             {"CmF", m.cmF}});
        }
    }
    return j;
}

// A line for each unwanted mode looked for: "Мода 2: Fo=…" or "Мода 3: не найдена".
std::string ModeLines(const CrystalModel& m, int sought, Language language) {
    const CrystalUnits& u = language == Language::English ? EnglishUnits : RussianUnits;
    std::string text;
    for (int k = 0; k < sought; ++k) {
        const std::string head =
            InLanguage(language, "Мода ", "Mode ") + std::to_string(k + 2) + ": ";
        if (k >= static_cast<int>(m.modes.size())) {
            text += head + InLanguage(language, "не найдена", "not found") + '\n';
            continue;
        }
        const CrystalMode& mode = m.modes[static_cast<std::size_t>(k)];
        text += head + "Fo=" + Short(mode.fsHz / 1000, 10) + " " + u.kHz + " (+" +
                Short((mode.fsHz - m.fsHz) / 1000, 6) + " " + u.kHz +
                "); Ld=" + Short(mode.lmH * 1000, 6) + " " + u.mH + "; Rd=" + Short(mode.rmOhm, 6) +
                " " + u.ohm + '\n';
    }
    return text;
}

std::string CrystalLine(const CrystalModel& m, Language language) {
    const CrystalUnits& u = language == Language::English ? EnglishUnits : RussianUnits;
    return "Fo=" + Short(m.fsHz / 1000, 10) + " " + u.kHz + "; Ld=" + Short(m.lmH * 1000, 6) + " " +
           u.mH + "; Cs=" + Short(m.c0F * 1e12, 6) + " " + u.pF + "; Rd=" + Short(m.rmOhm, 6) +
           " " + u.ohm + "; Cm=" + Short(m.cmF * 1e15, 6) + " " + u.fF + "; Q=" + Short(m.Q(), 6);
}

namespace {

// A file's error: the reader's text names the file; a file that cannot be written is named.
int FileFailure(const std::string& text, std::ostream& err) {
    WriteLine(err, text);
    return 2;
}

struct FittedFile {
    CrystalFit fit;
    std::optional<Message> message;  // a warning about the fit, or why there is none
    CrystalModel kept;               // what a table of crystals keeps (KeptModelOf)
};

// Fits the crystal of a .s2p (S21, series-through) or .s1p (S11, one-port) file, with up to
// `modes` unwanted modes.
FittedFile FitFile(const std::string& path, std::optional<double> fixtureOhm, int modes = 0) {
    const TouchstoneData data = ReadTouchstoneFile(path);
    const CrystalSweep sweep = CrystalSweepOf(data, fixtureOhm.value_or(data.referenceOhm));
    FittedFile result;
    result.fit = modes > 0
                     ? FitCrystalWithModes(sweep.frequencyHz, sweep.measured, sweep.kind,
                                           sweep.fixtureOhm, modes)
                     : FitCrystal(sweep.frequencyHz, sweep.measured, sweep.kind, sweep.fixtureOhm);
    result.message = FitMessageOf(result.fit, FileNameOf(path));
    result.kept = KeptModelOf(result.fit, sweep);
    return result;
}

int RunFit(const std::vector<std::string>& args, Language language, std::ostream& out,
           std::ostream& err) {
    CLI::App app{
        "Fit the Butterworth-Van Dyke model of a crystal to a network analyser's sweep: "
        "a .s2p file holds S21 with the crystal in series between source and load, a "
        ".s1p file S11 with the crystal from port 1 to ground.",
        "fit"};
    std::string path;
    std::optional<double> fixtureOhm;
    std::string lang;
    bool json = false;
    app.add_option("FILE", path, "The sweep, .s1p or .s2p.")->required();
    Check(app.add_option("--fixture-ohm", fixtureOhm,
                         "The resistance of source and load in the fixture, in Ohm. Default: the "
                         "file's reference resistance."),
          Above(0, Quantity::Resistance));
    int modes = 0;
    Check(app.add_option("--modes", modes,
                         "Look for up to K unwanted modes (1 to 3) in a wide sweep, each a further "
                         "motional arm across C0; a mode the sweep does not resolve is reported "
                         "as not found.")
              ->type_name("K"),
          WholeBetween(0, MaxUnwantedModes));
    app.add_flag("--json", json, "Print the result as one JSON object.");
    AddLanguageOption(app, lang);
    if (auto status = ParseSubcommand(app, args, language, out, err)) return *status;

    FittedFile fitted;
    try {
        fitted = FitFile(path, fixtureOhm, modes);
    } catch (const CommandError& error) {
        return FileFailure(error.Text(language), err);
    }
    const CrystalFit& fit = fitted.fit;
    const bool hasModel = fit.verdict != FitVerdict::NoResonance;
    const std::optional<std::string> message =
        fitted.message ? std::optional(ForTerminal(MessageText(*fitted.message, language)))
                       : std::nullopt;
    if (message) err << *message << '\n';
    if (json) {
        Dump(FitJson(fit, message), out);
        out << '\n';
    } else if (hasModel) {
        const std::string rms = Short(fit.rmsErrorDb, 3);
        const std::string iterations = std::to_string(fit.iterations);
        out << CrystalLine(fit.model, language) << '\n'
            << ModeLines(fit.model, fit.modesSought, language)
            << InLanguage(language,
                          "Среднеквадратичная ошибка " + rms + " дБ, итераций: " + iterations + ".",
                          "RMS error " + rms + " dB after " + iterations + " iterations.")
            << '\n';
    }
    return fitted.message ? 1 : 0;
}

int RunG3uur(const std::vector<std::string>& args, Language language, std::ostream& out,
             std::ostream& err) {
    CLI::App app{
        "The G3UUR oscillator method: the crystal's motional capacitance and inductance "
        "from its oscillator frequency alone and with series capacitors.",
        "g3uur"};
    double f0 = 0, f1 = 0, c1 = 0;
    std::optional<double> f2, c2, c0;
    std::string lang;
    bool json = false;
    const ValueCheck frequency = Above(0, Quantity::Frequency);
    const ValueCheck capacitance = Above(0, Quantity::Capacitance);
    Check(
        app.add_option("--f0", f0, "Oscillator frequency with the crystal alone, Hz.")->required(),
        frequency);
    Check(app.add_option("--f1", f1, "Frequency with the capacitor C1 in series, Hz.")->required(),
          frequency);
    Check(app.add_option("--c1", c1, "C1 in pF.")->required(), capacitance);
    auto* f2Option =
        Check(app.add_option("--f2", f2, "Frequency with a second capacitor C2, Hz."), frequency);
    auto* c2Option = Check(app.add_option("--c2", c2, "C2 in pF."), capacitance);
    auto* c0Option =
        Check(app.add_option("--c0", c0, "The crystal's C0 in pF, when only C1 was used."),
              AtLeast(0, Quantity::Capacitance));
    f2Option->needs(c2Option);
    c2Option->needs(f2Option);
    f2Option->excludes(c0Option);
    app.add_flag("--json", json, "Print the result as one JSON object.");
    AddLanguageOption(app, lang);
    if (auto status = ParseSubcommand(app, args, language, out, err)) return *status;
    if (!f2 && !c0) {
        return ReportUsage(
            "g3uur",
            InLanguage(language, "задайте --f2 и --c2 или --c0", "give --f2 and --c2, or --c0"),
            language, err);
    }
    const double cm = f2 ? G3uurMotionalCapacitance(f0, f1, c1 * 1e-12, *f2, *c2 * 1e-12)
                         : G3uurMotionalCapacitance(f0, f1, c1 * 1e-12, *c0 * 1e-12);
    if (!(cm > 0)) {
        WriteLine(err, MessageText(Message{MessageId::G3uurNoShift, ""}, language));
        return 1;
    }
    const double lm = MotionalInductanceOf(f0, cm);
    if (json) {
        Json j;
        j["CmF"] = cm;
        j["LdMH"] = lm * 1000;
        Dump(j, out);
        out << '\n';
    } else {
        const CrystalUnits& u = language == Language::English ? EnglishUnits : RussianUnits;
        out << "Cm=" << Short(cm * 1e15, 6) << ' ' << u.fF << "; Ld=" << Short(lm * 1000, 6) << ' '
            << u.mH << '\n';
    }
    return 0;
}

struct CrystalRow {
    std::string name;
    std::optional<CrystalModel> model;
};

// Fits every sweep and reads every list into rows, in the order of the files: 1 when a fit
// warned, 2 (and no more rows) when a file cannot be read.
int ReadCrystalRows(const std::vector<std::string>& paths, std::optional<double> fixtureOhm,
                    Language language, std::ostream& err, std::vector<CrystalRow>& rows) {
    int status = 0;
    for (const std::string& path : paths) {
        try {
            if (PortsOfTouchstoneName(path) != 0) {
                const FittedFile fitted = FitFile(path, fixtureOhm);
                if (fitted.message) {
                    WriteLine(err, MessageText(*fitted.message, language));
                    status = std::max(status, 1);
                }
                // A fit that did not converge stays between the half-power points of the peak:
                // kept, with its warning, so that it can still be matched by frequency.
                const bool usable = fitted.fit.verdict != FitVerdict::NoResonance;
                rows.push_back(
                    {FileNameOf(path), usable ? std::optional(fitted.kept) : std::nullopt});
            } else {
                for (NamedCrystal& c : ReadCrystalList(path))
                    rows.push_back({c.name, c.model});
            }
        } catch (const CommandError& error) {
            return FileFailure(error.Text(language), err);
        }
    }
    return status;
}

// The rows of the best matched set of `pick` among the rows with a model; none when too few.
std::vector<std::size_t> PickRows(const std::vector<CrystalRow>& rows, std::size_t pick) {
    std::vector<CrystalModel> models;
    std::vector<std::size_t> rowOfModel;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].model) {
            models.push_back(*rows[i].model);
            rowOfModel.push_back(i);
        }
    }
    std::vector<std::size_t> picked;
    for (std::size_t k : PickBestSet(models, pick))
        picked.push_back(rowOfModel[k]);
    return picked;
}

std::optional<int> WriteCrystalList(const std::string& path, const std::vector<NamedCrystal>& list,
                                    Language language, std::ostream& out, std::ostream& err) {
    try {
        WriteOutput(path, CrystalListBytes(list), out);
    } catch (const CommandError& error) {
        return FileFailure(path + ": " + error.Text(language), err);
    }
    return std::nullopt;
}

// The table of rows, the picked ones marked, or the same as one JSON object.
void PrintCrystalRows(const std::vector<CrystalRow>& rows, const std::vector<std::size_t>& picked,
                      bool json, Language language, std::ostream& out) {
    if (json) {
        Json j;
        Json& crystals = j["crystals"] = Json::array();
        for (const CrystalRow& row : rows) {
            Json c;
            c["name"] = ForTerminal(row.name);
            AddCrystalKeys(c, row.model ? &*row.model : nullptr);
            crystals.push_back(c);
        }
        Json& names = j["picked"] = Json::array();
        for (std::size_t i : picked)
            names.push_back(ForTerminal(rows[i].name));
        Dump(j, out);
        out << '\n';
        return;
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const bool isPicked = std::find(picked.begin(), picked.end(), i) != picked.end();
        const std::string values = rows[i].model ? CrystalLine(*rows[i].model, language)
                                                 : InLanguage(language, "нет модели", "no fit");
        WriteLine(out, (isPicked ? "* " : "  ") + rows[i].name + ": " + values);
    }
}

// A set picked from a bag, under the keys of `crystals pick --json`.
Json PickJson(const PickFigures& f, const std::vector<NamedCrystal>& bag) {
    Json j;
    Json& picked = j["picked"] = Json::array();
    for (std::size_t p = 0; p < f.crystals.size(); ++p)
        picked.push_back({{"position", p + 1}, {"name", ForTerminal(bag[f.crystals[p]].name)}});
    j["trimsPF"] = f.trimsPF;
    j["trimsApplied"] = f.trimsApplied;
    j["trims"] = f.trimCount;
    j["largestLiftHz"] = f.largestLiftHz;
    j["rippleDb"] = f.rippleDb;
    j["bandwidthHz"] = f.bandwidthHz;
    j["designBandwidthHz"] = f.designBandwidthHz;
    j["departureDb"] = f.departureDb;
    j["meshSpreadHz"] = f.meshSpreadHz;
    j["lmSpreadPct"] = f.lmSpreadPct;
    j["unwanted"] = f.worstUnwanted ? Json{{"offsetKHz", f.worstUnwanted->offsetHz / 1000},
                                           {"levelDb", f.worstUnwanted->levelDb}}
                                    : Json(nullptr);
    j["score"] = f.score;
    return j;
}

// "ZQ1=X3 ZQ2=X7 ...".
std::string PositionsLine(const PickFigures& f, const std::vector<NamedCrystal>& bag) {
    std::string line;
    for (std::size_t p = 0; p < f.crystals.size(); ++p)
        line += (p ? " ZQ" : "ZQ") + std::to_string(p + 1) + "=" + bag[f.crystals[p]].name;
    return line;
}

int RunPick(const std::vector<std::string>& args, Language language, std::ostream& out,
            std::ostream& err) {
    CLI::App app{
        "Pick the crystals of a set from a bag, and their positions, by the response they give "
        "the design: every set (a local search beyond 200000 sets) pre-scored on the meshes of "
        "the design, the best built whole; the set whose response departs least from the "
        "design's (with the band, the trims and the unwanted modes counted) wins. The set of "
        "the smallest fs spread is shown beside it.",
        "crystals pick"};
    CliOptions options;
    std::string bagPath, setPath;
    std::optional<int> count;
    bool json = false;
    app.set_help_flag("--help", "Print this help and exit.");
    app.add_option("BAG", bagPath, "The bag: a crystal list (.csv), as 'crystals --csv' writes it.")
        ->required();
    AddDesignValueOptions(app, options, SeparatorUse::FieldTexts);
    AddDesignFileOption(app, options);
    app.add_flag("--trim", options.trim,
                 "Build every set with the series capacitors that lift its crystals to its "
                 "highest fs, as --crystals with --trim does.");
    CLI::Option* project =
        Check(app.add_option("--project", options.projectPath,
                             "Take the design, and whether its trims are applied, from the Feldan "
                             "project FILE (.feldan); its own crystals are not used. Not with "
                             "--design.")
                  ->type_name("FILE"),
              FileName());
    project->excludes(app.get_option("--design"));
    Check(app.add_option("--count", count,
                         "How many crystals the set holds: the topology's count, which is also "
                         "the default.")
              ->type_name("N"),
          WholeAtLeast(1));
    Check(app.add_option("--set", setPath,
                         "Write the picked crystals, ZQ1 first, to FILE as a list: the set that "
                         "--crystals of a design reads.")
              ->type_name("FILE"),
          FileName());
    app.add_flag("--json", json, "Print the result as one JSON object.");
    if (auto status = ParseSubcommand(app, args, language, out, err)) return *status;
    for (const auto& [given, name] : {std::pair{options.fo.has_value(), "--fo"},
                                      {options.ld.has_value(), "--ld"},
                                      {options.cs.has_value(), "--cs"},
                                      {options.rd.has_value(), "--rd"}}) {
        if (given) {
            return ReportUsage("crystals pick",
                               InLanguage(language, "Fo, Ld, Cs и Rd берутся у кварцев: уберите ",
                                          "Fo, Ld, Cs and Rd come from the crystals: leave out ") +
                                   name,
                               language, err);
        }
    }
    PickRequest request;
    std::vector<NamedCrystal> bag;
    try {
        if (!options.projectPath.empty()) {
            try {
                const Project read = ReadProjectFile(options.projectPath);
                request.design = read.design;
                request.trim = read.trim;
            } catch (const CommandError& error) {
                throw CommandError(NamingTheFile(options.projectPath, error, language));
            }
            ApplyDesignOptions(options, request.design);
        } else {
            DesignFileLines lines;
            request.design = ResolveDesign(options, lines);
        }
        bag = ReadCrystalList(bagPath);
    } catch (const CommandError& error) {
        return FileFailure(error.Text(language), err);
    }
    request.trim = request.trim || options.trim;
    const int needed = CrystalCountOf(request.design.filterType);
    if (count && needed > 0 && *count != needed) {
        return ReportUsage("crystals pick",
                           InLanguage(language,
                                      "у схемы " + std::to_string(needed) + " кварцев, а --count " +
                                          std::to_string(*count),
                                      "the topology has " + std::to_string(needed) +
                                          " crystals, not --count " + std::to_string(*count)),
                           language, err);
    }
    std::vector<CrystalModel> models;
    for (const NamedCrystal& c : bag)
        models.push_back(c.model);
    const PickResult result = PickByResponse(models, request);
    if (!result.byResponse) {
        WriteLine(err, MessageText(result.message, language));
        return result.outcome == Outcome::Error ? 2 : 1;
    }
    const PickFigures& best = *result.byResponse;
    if (!setPath.empty()) {
        std::vector<NamedCrystal> list;
        for (std::size_t i : best.crystals)
            list.push_back(bag[i]);
        if (auto failed = WriteCrystalList(setPath, list, language, out, err)) return *failed;
    }
    if (json) {
        Json j = PickJson(best, bag);
        j["byFsSpread"] = PickJson(*result.byFsSpread, bag);
        j["setsSearched"] = result.setsSearched;
        j["exhaustive"] = result.exhaustive;
        j["setsBuilt"] = result.setsBuilt;
        Dump(j, out);
        out << '\n';
        return 0;
    }
    const std::string searched = std::to_string(result.setsSearched);
    WriteLine(out,
              InLanguage(language, "По отклику: ", "By the response: ") + PositionsLine(best, bag));
    WriteLine(out, "  " + PickFiguresText(best, '.', language));
    WriteLine(out, InLanguage(language, "По разбросу fs: ", "By fs spread: ") +
                       PositionsLine(*result.byFsSpread, bag));
    WriteLine(out, "  " + PickFiguresText(*result.byFsSpread, '.', language));
    WriteLine(out, result.exhaustive
                       ? InLanguage(language, "Перебраны все наборы: " + searched,
                                    "Every set searched: " + searched)
                       : InLanguage(language,
                                    "Наборов просмотрено заменами от соседних по fs: " + searched,
                                    "Sets searched by swaps from neighbours in fs: " + searched));
    return 0;
}

int RunCrystals(const std::vector<std::string>& args, Language language, std::ostream& out,
                std::ostream& err) {
    if (!args.empty() && args.front() == "pick")
        return RunPick({args.begin() + 1, args.end()}, language, out, err);
    CLI::App app{
        "A set of crystals: fits every sweep (.s1p, .s2p) and reads every list (.csv with "
        "the header name,fs_hz,lm_h,rm_ohm,c0_f), prints the table and picks the best "
        "matched set. 'crystals pick BAG.csv' picks by the response instead (see its --help).",
        "crystals"};
    std::vector<std::string> paths;
    std::optional<std::size_t> pick;
    std::optional<double> fixtureOhm;
    std::string csvPath, setPath, lang;
    bool json = false;
    app.add_option("FILE", paths, "Sweeps and lists.")->required();
    Check(app.add_option("--pick", pick,
                         "Pick the N crystals whose series resonances are closest together (of "
                         "equal spreads, the set whose largest Rm is smaller)."),
          WholeAtLeast(1));
    Check(app.add_option("--fixture-ohm", fixtureOhm, "As for fit."),
          Above(0, Quantity::Resistance));
    Check(app.add_option("--csv", csvPath, "Write the fitted crystals to FILE as a list (CSV).")
              ->type_name("FILE"),
          FileName());
    auto* set =
        Check(app.add_option("--set", setPath,
                             "Write the picked crystals, lowest fs first, to FILE as a list: "
                             "the set that --crystals of a design reads.")
                  ->type_name("FILE"),
              FileName());
    set->needs(app.get_option("--pick"));
    app.add_flag("--json", json, "Print the result as one JSON object.");
    AddLanguageOption(app, lang);
    if (auto status = ParseSubcommand(app, args, language, out, err)) return *status;

    std::vector<CrystalRow> rows;
    int status = ReadCrystalRows(paths, fixtureOhm, language, err, rows);
    if (status == 2) return status;
    std::vector<std::size_t> picked;
    if (pick) {
        picked = PickRows(rows, *pick);
        if (picked.empty()) {
            WriteLine(err,
                      MessageText(Message{MessageId::PickTooFew, std::to_string(*pick)}, language));
            status = std::max(status, 1);
        }
    }
    if (!csvPath.empty()) {
        std::vector<NamedCrystal> list;
        for (const CrystalRow& row : rows) {
            if (row.model) list.push_back({row.name, *row.model});
        }
        if (auto failed = WriteCrystalList(csvPath, list, language, out, err)) return *failed;
    }
    if (!setPath.empty() && !picked.empty()) {
        std::vector<NamedCrystal> list;
        for (std::size_t i : picked)
            list.push_back({rows[i].name, *rows[i].model});
        if (auto failed = WriteCrystalList(setPath, list, language, out, err)) return *failed;
    }
    PrintCrystalRows(rows, picked, json, language, out);
    return status;
}

}  // namespace

bool IsCrystalCommand(const std::string& word) {
    return word == "fit" || word == "g3uur" || word == "crystals";
}

int RunCrystalCommand(const std::vector<std::string>& args, Language language, std::ostream& out,
                      std::ostream& err) {
    const std::string& command = args.front();
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "fit") return RunFit(rest, language, out, err);
    if (command == "g3uur") return RunG3uur(rest, language, out, err);
    return RunCrystals(rest, language, out, err);
}

}  // namespace feldan::cli
