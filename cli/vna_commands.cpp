#include "cli/vna_commands.h"
#include "cli/output_file.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <nlohmann/json.hpp>
#include <optional>

#include "cli/calculation.h"
#include "cli/command_line.h"
#include "cli/crystal_commands.h"
#include "cli/shell_text.h"
#include "cli/usage.h"
#include "files/atomic_file.h"
#include "files/touchstone.h"
#include "instruments/analyser_connection.h"
#include "instruments/crystal_measurement.h"
#include "instruments/serial_ports.h"

namespace feldan::cli {

namespace {

using Json = nlohmann::ordered_json;

constexpr const char* Subcommands[] = {"list", "sweep", "crystal"};

int Fault(const CommandError& error, Language language, std::ostream& err) {
    WriteLine(err, error.Text(language));
    return 2;
}

std::string Hex4(unsigned value) {
    char text[8] = {};
    std::to_chars(text, text + 4, value | 0x10000, 16);  // the leading 1 keeps the zeros
    return std::string(text + 1, 4);
}

// What the analyser on a port says of itself, or why it says nothing.
struct PortAnswer {
    std::optional<AnalyserIdentity> identity;
    std::optional<std::string> problem;
};

PortAnswer AskPort(const SerialPortEntry& port, Language language) {
    PortAnswer answer;
    if (port.family == AnalyserFamily::Other) return answer;
    try {
        answer.identity = ConnectAnalyser(port.device).identity;
    } catch (const CommandError& error) {
        answer.problem = MessageText(error.message(), language);
    }
    return answer;
}

std::string FamilyText(AnalyserFamily family, Language language) {
    return family == AnalyserFamily::Binary
               ? InLanguage(language, "NanoVNA V2 / LiteVNA, двоичный протокол",
                            "NanoVNA V2 / LiteVNA, binary protocol")
               : InLanguage(language, "NanoVNA, текстовая консоль", "NanoVNA, text shell");
}

int RunList(const std::vector<std::string>& args, Language language, std::ostream& out,
            std::ostream& err) {
    CLI::App app{
        "The USB serial ports, each with its device and name. The analysers on them, of the "
        "NanoVNA text shell (USB 0483:5740) and of the NanoVNA V2 and LiteVNA (USB 04b4:0008), "
        "are asked who they are: each says its family, its board and its firmware.",
        "vna list"};
    std::string lang;
    bool json = false;
    app.add_flag("--json", json, "Print the ports as one JSON object.");
    AddLanguageOption(app, lang);
    if (auto status = ParseSubcommand(app, args, language, out, err)) return *status;
    const std::vector<SerialPortEntry> ports = ListSerialPorts();
    Json list = Json::array();
    for (const SerialPortEntry& port : ports) {
        const std::string id = Hex4(port.vendor) + ":" + Hex4(port.product);
        const PortAnswer answer = AskPort(port, language);
        const AnalyserFamily family = answer.identity ? answer.identity->family : port.family;
        std::string note;
        if (family != AnalyserFamily::Other) note = FamilyText(family, language);
        if (answer.identity) {
            note += "; " + answer.identity->board + ", " +
                    InLanguage(language, "прошивка ", "firmware ") + answer.identity->firmware;
        }
        if (answer.problem) note += ": " + *answer.problem;
        if (json) {
            Json entry;
            entry["device"] = ForTerminal(port.device);
            entry["name"] = ForTerminal(port.name);
            entry["usbId"] = id;
            entry["supported"] = family != AnalyserFamily::Other;
            entry["family"] = family == AnalyserFamily::Binary      ? Json("v2")
                              : family == AnalyserFamily::TextShell ? Json("text shell")
                                                                    : Json();
            entry["board"] = answer.identity ? Json(ForTerminal(answer.identity->board)) : Json();
            entry["firmware"] =
                answer.identity ? Json(ForTerminal(answer.identity->firmware)) : Json();
            entry["problem"] = answer.problem ? Json(ForTerminal(*answer.problem)) : Json();
            list.push_back(entry);
        } else {
            WriteLine(out, port.device + "  " + port.name + " (" + id + ")" +
                               (note.empty() ? "" : ": " + ForTerminal(note)));
        }
    }
    if (json) {
        Json j;
        j["ports"] = list;
        Dump(j, out);
        out << '\n';
    } else if (ports.empty()) {
        WriteLine(err, InLanguage(language, "USB-портов не найдено", "no USB serial ports found"));
    }
    return 0;
}

void AddAverageOption(CLI::App& app, int& averages) {
    Check(app.add_option("--average", averages,
                         "Readings of each frequency averaged into one: by a NanoVNA V2 or "
                         "LiteVNA itself, by as many scans on the text shell. Default: 1."),
          WholeBetween(1, 100));
}

void AddPortOption(CLI::App& app, std::string& port) {
    Check(app.add_option("--port", port, "The analyser's serial port, /dev/ttyACM0 say.")
              ->required()
              ->type_name("DEV"),
          FileName());
}

void AddPpmOption(CLI::App& app, double& ppm) {
    Check(app.add_option("--ppm", ppm,
                         "The analyser's clock error in ppm: a frequency it reports as f is "
                         "f*(1 + ppm/1e6). Default: 0.")
              ->type_name("P"),
          Between(-1000, 1000, Quantity::Number));
}

// A two-port file of the sweep, referred to 50 Ohm; S12 and S22 (and S11 where not kept) zero,
// as the analyser's own files write what it does not measure.
int WriteSweep(const std::string& path, const std::vector<double>& hz,
               const std::vector<std::complex<double>>& s11,
               const std::vector<std::complex<double>>& s21,
               const std::vector<std::string>& comments, Language language, std::ostream& out,
               std::ostream& err) {
    TouchstoneData data;
    data.ports = 2;
    data.referenceOhm = 50;
    data.frequencyHz = hz;
    for (std::size_t i = 0; i < hz.size(); ++i)
        data.s.push_back({s11.empty() ? 0.0 : s11[i], s21[i], 0.0, 0.0});
    try {
        WriteOutput(path, TouchstoneBytes(data, comments), out);
    } catch (const CommandError& error) {
        WriteLine(err, path + ": " + error.Text(language));
        return 2;
    }
    return 0;
}

std::string IdentityComment(const AnalyserIdentity& identity, double ppm) {
    return "Feldan vna: " + identity.board + ", firmware " + identity.firmware +
           ", clock correction " + Short(ppm, 3) + " ppm";
}

int RunSweep(const std::vector<std::string>& args, Language language, std::ostream& out,
             std::ostream& err) {
    CLI::App app{
        "A sweep of any number of points from the analyser, joined from as many scans as the "
        "board takes (101 points each, 401 on the -H4, 1024 on a V2), written as a Touchstone "
        "file: S11 and S21 referred to 50 Ohm, S12 and S22 zero (not measured).",
        "vna sweep"};
    std::string port, path, lang;
    double from = 0, to = 0, ppm = 0;
    int points = 101, averages = 1;
    AddPortOption(app, port);
    Check(app.add_option("--from", from, "The first frequency, Hz.")->required(),
          Above(0, Quantity::Frequency));
    Check(app.add_option("--to", to, "The last frequency, Hz.")->required(),
          Above(0, Quantity::Frequency));
    Check(app.add_option("--points", points, "The points of the sweep. Default: 101."),
          WholeBetween(2, 100001));
    AddAverageOption(app, averages);
    AddPpmOption(app, ppm);
    Check(app.add_option("--out", path, "The Touchstone file to write, .s2p.")
              ->required()
              ->type_name("FILE"),
          FileName());
    AddLanguageOption(app, lang);
    if (auto status = ParseSubcommand(app, args, language, out, err)) return *status;
    if (!(to > from)) {
        return ReportUsage(
            "vna sweep",
            InLanguage(language, "--to должна быть больше --from", "--to must be above --from"),
            language, err);
    }
    AnalyserSweep sweep;
    AnalyserConnection connection;
    try {
        connection = ConnectAnalyser(port);
        MeasurementContext context{
            *connection.shell, connection.identity, {}, MeasurementStage::Sweep, 0};
        MeasureSweep(context, SweepPlan{from, to, points, averages, ppm}, sweep);
    } catch (const CommandError& error) {
        return Fault(error, language, err);
    }
    return WriteSweep(path, sweep.frequencyHz, sweep.s11, sweep.s21,
                      {IdentityComment(connection.identity, ppm)}, language, out, err);
}

int RunCrystal(const std::vector<std::string>& args, Language language, std::ostream& out,
               std::ostream& err) {
    CLI::App app{
        "Measure a crystal soldered in series between port 1 and port 2: a wide sweep around "
        "--near finds its series resonance, sweeps centred on it zoom in to a few bandwidths, "
        "repeats are averaged as the noise calls for, and the model is fitted as fit does.",
        "vna crystal"};
    std::string port, path, lang;
    double near = 0, fixtureOhm = 50, ppm = 0, span = 20000;
    int averages = 1;
    bool json = false;
    AddPortOption(app, port);
    Check(app.add_option("--near", near, "The crystal's nominal frequency, Hz.")->required(),
          Above(0, Quantity::Frequency));
    Check(app.add_option("--span", span,
                         "The width of the search around --near, Hz. Default: 20000."),
          Above(0, Quantity::Frequency));
    Check(app.add_option("--fixture-ohm", fixtureOhm,
                         "The resistance of source and load in the fixture, in Ohm. Default: 50."),
          Above(0, Quantity::Resistance));
    AddPpmOption(app, ppm);
    AddAverageOption(app, averages);
    Check(app.add_option("--out", path,
                         "Also write the measured sweep (S21; the rest zero) as a .s2p file.")
              ->type_name("FILE"),
          FileName());
    app.add_flag("--json", json, "Print the result as one JSON object.");
    AddLanguageOption(app, lang);
    if (auto status = ParseSubcommand(app, args, language, out, err)) return *status;
    if (!(span < near)) {
        return ReportUsage(
            "vna crystal",
            InLanguage(language, "--span должна быть меньше --near", "--span must be below --near"),
            language, err);
    }
    AnalyserConnection connection;
    try {
        connection = ConnectAnalyser(port);
    } catch (const CommandError& error) {
        return Fault(error, language, err);
    }
    CrystalMeasurementSettings settings;
    settings.nominalHz = near;
    settings.searchSpanHz = span;
    settings.fixtureOhm = fixtureOhm;
    settings.ppm = ppm;
    settings.readings = averages;
    const CrystalMeasurement measured =
        MeasureCrystal(*connection.shell, connection.identity, settings);
    const std::optional<std::string> message =
        measured.message ? std::optional(ForTerminal(MessageText(*measured.message, language)))
                         : std::nullopt;
    if (message) err << *message << '\n';
    int status = !measured.fit ? 2 : message ? 1 : 0;
    if (!path.empty() && !measured.sweep.frequencyHz.empty()) {
        status = std::max(status,
                          WriteSweep(path, measured.sweep.frequencyHz, {}, measured.sweep.measured,
                                     {IdentityComment(connection.identity, ppm),
                                      "S21 of a crystal in series; S11 not kept (0)"},
                                     language, out, err));
    }
    if (!measured.fit) return status;
    const CrystalFit& fit = *measured.fit;
    const bool hasModel = fit.verdict != FitVerdict::NoResonance;
    if (json) {
        Json j = FitJson(fit, message);
        j["averages"] = measured.averages;
        j["noise"] = measured.noise;
        j["scans"] = measured.scans;
        Dump(j, out);
        out << '\n';
    } else if (hasModel) {
        const std::string scans = std::to_string(measured.scans);
        const std::string averages = std::to_string(measured.averages);
        out << CrystalLine(fit.model, language) << '\n'
            << InLanguage(language,
                          "Развёрток: " + scans + ", усреднено по " + averages + "; шум " +
                              Short(measured.noise, 3) + ".",
                          scans + " scans, " + averages + " averaged; noise " +
                              Short(measured.noise, 3) + ".")
            << '\n';
    }
    return status;
}

}  // namespace

bool IsVnaCommand(const std::string& word) {
    return word == "vna";
}

int RunVnaCommand(const std::vector<std::string>& args, Language language, std::ostream& out,
                  std::ostream& err) {
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (!rest.empty() && rest.front() == "list")
        return RunList({rest.begin() + 1, rest.end()}, language, out, err);
    if (!rest.empty() && rest.front() == "sweep")
        return RunSweep({rest.begin() + 1, rest.end()}, language, out, err);
    if (!rest.empty() && rest.front() == "crystal")
        return RunCrystal({rest.begin() + 1, rest.end()}, language, out, err);
    CLI::App app{
        "A network analyser on a USB serial port, of the NanoVNA text shell (NanoVNA, -H, -H4, -F "
        "and the firmwares derived from them) or of the NanoVNA V2 and LiteVNA, found by its "
        "answer: vna list, vna sweep, vna crystal; each has its own --help.",
        "vna"};
    std::string command, lang;
    Check(app.add_option("COMMAND", command, "list, sweep or crystal.")->required(),
          OneOf({std::begin(Subcommands), std::end(Subcommands)}));
    AddLanguageOption(app, lang);
    if (auto status = ParseSubcommand(app, rest, language, out, err)) return *status;
    // The subcommand came after an option ("vna --lang en list"): it goes first.
    std::vector<std::string> reordered = {args.front(), command};
    for (const std::string& arg : rest) {
        if (arg != command) reordered.push_back(arg);
    }
    return RunVnaCommand(reordered, language, out, err);
}

}  // namespace feldan::cli
