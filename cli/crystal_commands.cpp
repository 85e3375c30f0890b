#include "cli/crystal_commands.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>
#include <optional>

#include "cli/calculation.h"
#include "cli/command_line.h"
#include "engine/crystal.h"
#include "engine/messages.h"
#include "files/atomic_file.h"
#include "files/crystal_csv.h"
#include "files/touchstone.h"

namespace feldan::cli {

namespace {

using Json = nlohmann::ordered_json;

// Parses a subcommand's arguments; an exit status when done (help, bad usage).
std::string Short(double value, int digits = 6) {
    char buffer[40];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits)
            .ptr;
    return std::string(buffer, end);
}

// The values of a crystal in the design's units, under the keys of the design file and JSON.
void AddCrystalKeys(Json& json, const CrystalModel* m) {
    json["FoKHz"] = m ? Json(m->fsHz / 1000) : Json(nullptr);
    json["LdMH"] = m ? Json(m->lmH * 1000) : Json(nullptr);
    json["CsPF"] = m ? Json(m->c0F * 1e12) : Json(nullptr);
    json["RdOhm"] = m ? Json(m->rmOhm) : Json(nullptr);
    json["CmF"] = m ? Json(m->cmF) : Json(nullptr);
    json["Q"] = m ? Json(m->Q()) : Json(nullptr);
}

std::string CrystalLine(const CrystalModel& m) {
    return "Fo=" + Short(m.fsHz / 1000, 10) + " kHz; Ld=" + Short(m.lmH * 1000) +
           " mH; Cs=" + Short(m.c0F * 1e12) + " pF; Rd=" + Short(m.rmOhm) +
           " Ohm; Cm=" + Short(m.cmF * 1e15) + " fF; Q=" + Short(m.Q(), 6);
}

struct FittedFile {
    CrystalFit fit;
    std::optional<Message> message;  // a warning about the fit, or why there is none
};

// Fits the crystal of a .s2p (S21, series-through) or .s1p (S11, one-port) file.
FittedFile FitFile(const std::string& path, std::optional<double> fixtureOhm) {
    const TouchstoneData data = ReadTouchstoneFile(path);
    const CrystalSweep sweep = CrystalSweepOf(data, fixtureOhm.value_or(data.referenceOhm));
    FittedFile result;
    result.fit = FitCrystal(sweep.frequencyHz, sweep.measured, sweep.kind, sweep.fixtureOhm);
    result.message = FitMessageOf(result.fit, FileNameOf(path));
    return result;
}

int RunFit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CLI::App app{
        "Fit the Butterworth-Van Dyke model of a crystal to a network analyser's sweep: "
        "a .s2p file holds S21 with the crystal in series between source and load, a "
        ".s1p file S11 with the crystal from port 1 to ground.",
        "fit"};
    std::string path;
    std::optional<double> fixtureOhm;
    bool json = false;
    app.add_option("FILE", path, "The sweep, .s1p or .s2p.")->required();
    app.add_option("--fixture-ohm", fixtureOhm,
                   "The resistance of source and load in the fixture, in Ohm. Default: the "
                   "file's reference resistance.")
        ->check(CLI::PositiveNumber);
    app.add_flag("--json", json, "Print the result as one JSON object.");
    if (auto status = ParseSubcommand(app, args, out, err)) return *status;

    FittedFile fitted;
    try {
        fitted = FitFile(path, fixtureOhm);
    } catch (const CommandError& error) {
        err << error.what() << '\n';
        return 2;
    }
    const CrystalFit& fit = fitted.fit;
    const bool hasModel = fit.verdict != FitVerdict::NoResonance;
    if (fitted.message) err << MessageText(*fitted.message) << '\n';
    if (json) {
        Json j;
        AddCrystalKeys(j, hasModel ? &fit.model : nullptr);
        j["rmsErrorDb"] = hasModel ? Json(fit.rmsErrorDb) : Json(nullptr);
        j["iterations"] = fit.iterations;
        j["message"] = fitted.message ? Json(MessageText(*fitted.message)) : Json(nullptr);
        Dump(j, out);
        out << '\n';
    } else if (hasModel) {
        out << CrystalLine(fit.model) << '\n'
            << "RMS error " << Short(fit.rmsErrorDb, 3) << " dB after " << fit.iterations
            << " iterations.\n";
    }
    return fitted.message ? 1 : 0;
}

int RunG3uur(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CLI::App app{
        "The G3UUR oscillator method: the crystal's motional capacitance and inductance "
        "from its oscillator frequency alone and with series capacitors.",
        "g3uur"};
    double f0 = 0, f1 = 0, c1 = 0;
    std::optional<double> f2, c2, c0;
    bool json = false;
    app.add_option("--f0", f0, "Oscillator frequency with the crystal alone, Hz.")
        ->required()
        ->check(CLI::PositiveNumber);
    app.add_option("--f1", f1, "Frequency with the capacitor C1 in series, Hz.")
        ->required()
        ->check(CLI::PositiveNumber);
    app.add_option("--c1", c1, "C1 in pF.")->required()->check(CLI::PositiveNumber);
    auto* f2Option = app.add_option("--f2", f2, "Frequency with a second capacitor C2, Hz.")
                         ->check(CLI::PositiveNumber);
    auto* c2Option = app.add_option("--c2", c2, "C2 in pF.")->check(CLI::PositiveNumber);
    auto* c0Option = app.add_option("--c0", c0, "The crystal's C0 in pF, when only C1 was used.")
                         ->check(CLI::NonNegativeNumber);
    f2Option->needs(c2Option);
    c2Option->needs(f2Option);
    f2Option->excludes(c0Option);
    app.add_flag("--json", json, "Print the result as one JSON object.");
    if (auto status = ParseSubcommand(app, args, out, err)) return *status;
    if (!f2 && !c0) {
        err << "feldan-cli g3uur: give --f2 and --c2, or --c0\n"
            << "Run 'feldan-cli g3uur --help' for the options.\n";
        return 2;
    }
    const double cm = f2 ? G3uurMotionalCapacitance(f0, f1, c1 * 1e-12, *f2, *c2 * 1e-12)
                         : G3uurMotionalCapacitance(f0, f1, c1 * 1e-12, *c0 * 1e-12);
    if (!(cm > 0)) {
        err << MessageText(Message{MessageId::G3uurNoShift, ""}) << '\n';
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
        out << "Cm=" << Short(cm * 1e15) << " fF; Ld=" << Short(lm * 1000) << " mH\n";
    }
    return 0;
}

int RunCrystals(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CLI::App app{
        "A set of crystals: fits every sweep (.s1p, .s2p) and reads every list (.csv with "
        "the header name,fs_hz,lm_h,rm_ohm,c0_f), prints the table and picks the best "
        "matched set.",
        "crystals"};
    std::vector<std::string> paths;
    std::optional<std::size_t> pick;
    std::optional<double> fixtureOhm;
    std::string csvPath, setPath;
    bool json = false;
    app.add_option("FILE", paths, "Sweeps and lists.")->required();
    app.add_option("--pick", pick,
                   "Pick the N crystals whose series resonances are closest together (of equal "
                   "spreads, the set whose largest Rm is smaller).")
        ->check(CLI::PositiveNumber);
    app.add_option("--fixture-ohm", fixtureOhm, "As for fit.")->check(CLI::PositiveNumber);
    app.add_option("--csv", csvPath, "Write the fitted crystals to FILE as a list (CSV).");
    auto* set = app.add_option("--set", setPath,
                               "Write the picked crystals, lowest fs first, to FILE as a list: "
                               "the set that --crystals of a design reads.")
                    ->type_name("FILE")
                    ->check(NonEmptyFileName);
    set->needs(app.get_option("--pick"));
    app.add_flag("--json", json, "Print the result as one JSON object.");
    if (auto status = ParseSubcommand(app, args, out, err)) return *status;

    struct Row {
        std::string name;
        std::optional<CrystalModel> model;
    };
    std::vector<Row> rows;
    int status = 0;
    for (const std::string& path : paths) {
        try {
            if (PortsOfTouchstoneName(path) != 0) {
                const FittedFile fitted = FitFile(path, fixtureOhm);
                if (fitted.message) {
                    err << MessageText(*fitted.message) << '\n';
                    status = std::max(status, 1);
                }
                const bool usable = fitted.fit.verdict == FitVerdict::Fitted ||
                                    fitted.fit.verdict == FitVerdict::PoorFit;
                rows.push_back(
                    {FileNameOf(path), usable ? std::optional(fitted.fit.model) : std::nullopt});
            } else {
                for (NamedCrystal& c : ReadCrystalList(path))
                    rows.push_back({c.name, c.model});
            }
        } catch (const CommandError& error) {
            err << error.what() << '\n';
            return 2;
        }
    }
    std::vector<CrystalModel> models;
    std::vector<std::size_t> rowOfModel;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].model) {
            models.push_back(*rows[i].model);
            rowOfModel.push_back(i);
        }
    }
    std::vector<std::size_t> picked;
    if (pick) {
        for (std::size_t k : PickBestSet(models, *pick))
            picked.push_back(rowOfModel[k]);
        if (picked.empty()) {
            err << MessageText(Message{MessageId::PickTooFew, std::to_string(*pick)}) << '\n';
            status = std::max(status, 1);
        }
    }
    if (!csvPath.empty()) {
        std::vector<NamedCrystal> list;
        for (const Row& row : rows) {
            if (row.model) list.push_back({row.name, *row.model});
        }
        try {
            WriteFileAtomically(csvPath, CrystalListBytes(list));
        } catch (const CommandError& error) {
            err << csvPath << ": " << error.what() << '\n';
            return 2;
        }
    }
    if (!setPath.empty() && !picked.empty()) {
        std::vector<NamedCrystal> list;
        for (std::size_t i : picked)
            list.push_back({rows[i].name, *rows[i].model});
        try {
            WriteFileAtomically(setPath, CrystalListBytes(list));
        } catch (const CommandError& error) {
            err << setPath << ": " << error.what() << '\n';
            return 2;
        }
    }
    if (json) {
        Json j;
        Json& crystals = j["crystals"] = Json::array();
        for (const Row& row : rows) {
            Json c;
            c["name"] = row.name;
            AddCrystalKeys(c, row.model ? &*row.model : nullptr);
            crystals.push_back(c);
        }
        Json& names = j["picked"] = Json::array();
        for (std::size_t i : picked)
            names.push_back(rows[i].name);
        Dump(j, out);
        out << '\n';
    } else {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const bool isPicked = std::find(picked.begin(), picked.end(), i) != picked.end();
            out << (isPicked ? "* " : "  ") << rows[i].name << ": "
                << (rows[i].model ? CrystalLine(*rows[i].model) : std::string("no fit")) << '\n';
        }
    }
    return status;
}

}  // namespace

bool IsCrystalCommand(const std::string& word) {
    return word == "fit" || word == "g3uur" || word == "crystals";
}

int RunCrystalCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::string& command = args.front();
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "fit") return RunFit(rest, out, err);
    if (command == "g3uur") return RunG3uur(rest, out, err);
    return RunCrystals(rest, out, err);
}

}  // namespace feldan::cli
