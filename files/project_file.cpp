#include "files/project_file.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <numbers>

#include "engine/ladder_design.h"
#include "files/atomic_file.h"
#include "files/design_file.h"
#include "files/file_error.h"

namespace feldan {

namespace {

using Json = nlohmann::json;

// Far more than any set of crystals needs.
constexpr std::size_t ProjectByteLimit = std::size_t{64} << 20;
// Far more points than a measurement or a Touchstone file of a crystal gives.
constexpr std::size_t SweepPointLimit = 100000;

// The names of the sweep kinds in the file.
constexpr const char* SeriesThroughName = "seriesThrough";
constexpr const char* OnePortName = "onePort";

[[noreturn]] void Fail(const std::string& file, MessageId id, std::string value = "",
                       int line = 0) {
    throw ProjectFileError(FileMessage(id, std::move(value), file, line));
}

// The line of a byte offset (the parser's position counts the byte it stopped at).
int LineOf(std::string_view text, std::size_t byte) {
    const std::size_t end = std::min(byte == 0 ? 0 : byte - 1, text.size());
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + end, '\n'));
}

// The parser's words without its prefix and position: "syntax error while parsing …".
std::string ParserWords(const std::string& what) {
    // "[json.exception.parse_error.101] parse error at line 1, column 2: syntax error …"
    std::size_t at = what.find("] ");
    at = what.find("parse error") != std::string::npos ? what.find(": ", at) : at;
    std::string words = at == std::string::npos ? what : what.substr(at + 2);
    if (words.size() > 200) words = words.substr(0, 200) + "…";
    return words;
}

class Reader {
  public:
    explicit Reader(const std::string& file) : file_(file) {}

    const Json& Entry(const Json& object, const char* key, Json::value_t type,
                      const std::string& path) const {
        const auto it = object.find(key);
        const bool numberWanted = type == Json::value_t::number_float;
        if (it == object.end() || (numberWanted ? !it->is_number() : it->type() != type)) {
            Fail(file_, MessageId::ProjectEntry, path);
        }
        return *it;
    }

    std::string Text(const Json& object, const char* key, const std::string& path) const {
        return Entry(object, key, Json::value_t::string, path + key).get<std::string>();
    }

    // An integer entry from 1 to `last`; above `last` is `tooHigh`.
    int Integer(const Json& object, const char* key, int last, const std::string& path,
                MessageId tooHigh = MessageId::ProjectValue) const {
        const Json& value = Entry(object, key, Json::value_t::number_float, path + key);
        if (!value.is_number_integer()) Fail(file_, MessageId::ProjectEntry, path + key);
        // The parser gives every integer of 0 or more as an unsigned one.
        if (!value.is_number_unsigned() || value.get<std::uint64_t>() < 1)
            Fail(file_, MessageId::ProjectValue, path + key);
        if (value.get<std::uint64_t>() > std::uint64_t(last)) Fail(file_, tooHigh, path + key);
        return static_cast<int>(value.get<std::uint64_t>());
    }

    // A finite number above 0 (or at least 0 where zero is allowed).
    double Positive(const Json& object, const char* key, const std::string& path,
                    bool zeroAllowed = false) const {
        const double v = Entry(object, key, Json::value_t::number_float, path + key).get<double>();
        if (!std::isfinite(v) || v < 0 || (v == 0 && !zeroAllowed))
            Fail(file_, MessageId::ProjectValue, path + key);
        return v;
    }

    // A crystal's sweep: its kind, the fixture, and [Hz, re, im] of each point, the frequencies
    // rising.
    CrystalSweep Sweep(const Json& object, const std::string& path) const {
        const Json& s = Entry(object, "sweep", Json::value_t::object, path + "sweep");
        const std::string at = path + "sweep.";
        CrystalSweep sweep;
        const std::string kind = Text(s, "kind", at);
        if (kind != SeriesThroughName && kind != OnePortName)
            Fail(file_, MessageId::ProjectValue, at + "kind");
        sweep.kind = kind == OnePortName ? SweepKind::OnePort : SweepKind::SeriesThrough;
        sweep.fixtureOhm = Positive(s, "fixtureOhm", at);
        const Json& points = Entry(s, "points", Json::value_t::array, at + "points");
        if (points.size() > SweepPointLimit) Fail(file_, MessageId::ProjectValue, at + "points");
        for (std::size_t i = 0; i < points.size(); ++i) {
            const std::string where = at + "points[" + std::to_string(i) + "]";
            const Json& p = points[i];
            if (!p.is_array() || p.size() != 3 ||
                !std::all_of(p.begin(), p.end(), [](const Json& v) { return v.is_number(); }))
                Fail(file_, MessageId::ProjectEntry, where);
            const double hz = p[0].get<double>(), re = p[1].get<double>(), im = p[2].get<double>();
            const bool rising = sweep.frequencyHz.empty() || hz > sweep.frequencyHz.back();
            if (!(hz > 0) || !rising || !std::isfinite(hz) || !std::isfinite(re) ||
                !std::isfinite(im))
                Fail(file_, MessageId::ProjectValue, where);
            sweep.frequencyHz.push_back(hz);
            sweep.measured.emplace_back(re, im);
        }
        return sweep;
    }

    // A crystal's unwanted modes: fs, Lm and Rm of each (Cm follows), at most MaxUnwantedModes.
    std::vector<CrystalMode> Modes(const Json& object, const std::string& path) const {
        const Json& list = Entry(object, "modes", Json::value_t::array, path + "modes");
        if (list.size() > std::size_t{MaxUnwantedModes})
            Fail(file_, MessageId::ProjectValue, path + "modes");
        std::vector<CrystalMode> modes;
        for (std::size_t i = 0; i < list.size(); ++i) {
            const std::string at = path + "modes[" + std::to_string(i) + "].";
            if (!list[i].is_object())
                Fail(file_, MessageId::ProjectEntry, at.substr(0, at.size() - 1));
            modes.push_back(ModeFromSeriesResonance(Positive(list[i], "fsHz", at),
                                                    Positive(list[i], "lmH", at),
                                                    Positive(list[i], "rmOhm", at)));
        }
        return modes;
    }

  private:
    const std::string& file_;
};

}  // namespace

Project ParseProject(std::string_view text, const std::string& fileName) {
    Json root;
    try {
        root = Json::parse(text);
    } catch (const Json::parse_error& error) {
        Fail(fileName, MessageId::ProjectNotJson, ParserWords(error.what()),
             LineOf(text, error.byte));
    } catch (const Json::exception& error) {
        // A number beyond the range of a double: the parser gives no position for it.
        Fail(fileName, MessageId::ProjectNotJson, ParserWords(error.what()));
    }
    const Reader read(fileName);
    if (!root.is_object()) Fail(fileName, MessageId::ProjectNotProject);
    const auto format = root.find("format");
    if (format == root.end() || !format->is_string() || *format != ProjectFormatName)
        Fail(fileName, MessageId::ProjectNotProject);
    try {
        read.Integer(root, "version", ProjectFormatVersion, "", MessageId::ProjectVersion);
    } catch (const ProjectFileError& error) {
        // A newer version names the version, not the entry.
        if (error.message().id != MessageId::ProjectVersion) throw;
        Fail(fileName, MessageId::ProjectVersion, root["version"].dump());
    }

    Project project;
    const Json& design = read.Entry(root, "design", Json::value_t::object, "design");
    InputTexts& texts = project.design.texts;
    texts.Fo = read.Text(design, "Fo", "design.");
    texts.Df = read.Text(design, "Df", "design.");
    texts.Ld = read.Text(design, "Ld", "design.");
    texts.Cs = read.Text(design, "Cs", "design.");
    texts.Rd = read.Text(design, "Rd", "design.");
    texts.Ck = read.Text(design, "Ck", "design.");
    texts.Level = read.Text(design, "Level", "design.");
    project.design.filterType = read.Integer(design, "filterType", FilterTypeCount, "design.");
    project.design.responseType =
        read.Integer(design, "responseType", ResponseTypeCount, "design.");
    if (design.contains("exact")) {
        project.design.exact =
            read.Entry(design, "exact", Json::value_t::boolean, "design.exact").get<bool>();
    }
    if (design.contains("rippleDb"))
        project.design.ripple = read.Text(design, "rippleDb", "design.");
    if (design.contains("capacitorPF"))
        project.design.capacitor = read.Text(design, "capacitorPF", "design.");

    if (root.contains("crystals")) {
        const Json& crystals = read.Entry(root, "crystals", Json::value_t::array, "crystals");
        if (crystals.size() > CrystalListMaxRows) Fail(fileName, MessageId::ReadFileTooLarge);
        for (std::size_t k = 0; k < crystals.size(); ++k) {
            const std::string path = "crystals[" + std::to_string(k) + "].";
            const Json& c = crystals[k];
            if (!c.is_object())
                Fail(fileName, MessageId::ProjectEntry, path.substr(0, path.size() - 1));
            NamedCrystal crystal;
            crystal.name = read.Text(c, "name", path);
            CrystalModel& m = crystal.model;
            m.fsHz = read.Positive(c, "fsHz", path);
            m.lmH = read.Positive(c, "lmH", path);
            m.cmF = read.Positive(c, "cmF", path);
            m.rmOhm = read.Positive(c, "rmOhm", path);
            m.c0F = read.Positive(c, "c0F", path, true);
            // Cm must give back fs: a file edited by hand may change one and not the other.
            const double fs = 1 / (2 * std::numbers::pi * std::sqrt(m.lmH * m.cmF));
            if (!(std::abs(fs - m.fsHz) <= 1e-6 * m.fsHz))
                Fail(fileName, MessageId::ProjectValue, path + "cmF");
            if (c.contains("sweep")) crystal.sweep = read.Sweep(c, path);
            if (c.contains("modes")) m.modes = read.Modes(c, path);
            project.crystals.push_back(std::move(crystal));
        }
    }
    if (root.contains("positions")) {
        const Json& positions = read.Entry(root, "positions", Json::value_t::array, "positions");
        if (positions.size() > MaxCrystals) Fail(fileName, MessageId::ProjectValue, "positions");
        for (std::size_t k = 0; k < positions.size(); ++k) {
            const std::string path = "positions[" + std::to_string(k) + "]";
            const Json& index = positions[k];
            if (!index.is_number_unsigned() ||
                index.get<std::uint64_t>() >= project.crystals.size())
                Fail(fileName, MessageId::ProjectValue, path);
            project.positions.push_back(static_cast<int>(index.get<std::uint64_t>()));
        }
    } else if (project.crystals.size() <= MaxCrystals) {
        for (std::size_t k = 0; k < project.crystals.size(); ++k)
            project.positions.push_back(static_cast<int>(k));
    }
    if (root.contains("useSet"))
        project.useSet = read.Entry(root, "useSet", Json::value_t::boolean, "useSet").get<bool>();
    if (root.contains("trim"))
        project.trim = read.Entry(root, "trim", Json::value_t::boolean, "trim").get<bool>();
    if (root.contains("rounding")) {
        const Json& r = read.Entry(root, "rounding", Json::value_t::object, "rounding");
        RoundingRequest request;
        if (!ESeriesFromName(read.Text(r, "series", "rounding."), request.series))
            Fail(fileName, MessageId::ProjectValue, "rounding.series");
        if (r.contains("parallelPct"))
            request.parallelPct = read.Positive(r, "parallelPct", "rounding.", true);
        if (r.contains("refitTermination")) {
            request.refitTermination = read.Entry(r, "refitTermination", Json::value_t::boolean,
                                                  "rounding.refitTermination")
                                           .get<bool>();
        }
        if (r.contains("terminationE24")) {
            request.terminationToE24 =
                read.Entry(r, "terminationE24", Json::value_t::boolean, "rounding.terminationE24")
                    .get<bool>();
        }
        project.rounding = request;
    }
    if (root.contains("tuning")) {
        const Json& tuning = read.Entry(root, "tuning", Json::value_t::array, "tuning");
        if (tuning.size() > 64) Fail(fileName, MessageId::ProjectValue, "tuning");
        for (std::size_t k = 0; k < tuning.size(); ++k) {
            const std::string path = "tuning[" + std::to_string(k) + "].";
            if (!tuning[k].is_object())
                Fail(fileName, MessageId::ProjectEntry, path.substr(0, path.size() - 1));
            project.tuning.push_back(
                {read.Text(tuning[k], "label", path), read.Positive(tuning[k], "value", path)});
        }
    }
    if (root.contains("matchOhm")) project.matchOhm = read.Positive(root, "matchOhm", "");
    return project;
}

Project ReadProjectFile(const std::string& path) {
    return ParseProject(ReadWholeFile(path, ProjectByteLimit), FileNameOf(path));
}

std::string ProjectBytes(const Project& project) {
    Json root;
    root["format"] = ProjectFormatName;
    // Each version is written only by the designs that need it, so older programs keep opening
    // what they can read: 1 classic, 2 exact to the request, 3 beyond the design file's lists,
    // 4 with the sweeps of measured crystals, 5 with equal-capacitor ladders or unwanted modes.
    const bool beyondDesignFile = !DesignFileHolds(project.design);
    const bool keepsSweeps = std::any_of(project.crystals.begin(), project.crystals.end(),
                                         [](const NamedCrystal& c) { return c.sweep.has_value(); });
    const bool equalCapacitors =
        IsQer(project.design.filterType) ||
        project.design.responseType == static_cast<int>(ResponseType::Cohn) ||
        !project.design.capacitor.empty();
    const bool keepsModes =
        std::any_of(project.crystals.begin(), project.crystals.end(),
                    [](const NamedCrystal& c) { return !c.model.modes.empty(); });
    root["version"] = equalCapacitors || keepsModes ? ProjectFormatVersion
                      : keepsSweeps                 ? SweepsProjectFormatVersion
                      : beyondDesignFile            ? DesignBeyondListsProjectFormatVersion
                      : project.design.exact        ? ExactProjectFormatVersion
                                                    : ClassicProjectFormatVersion;
    const InputTexts& t = project.design.texts;
    root["design"] = {{"Fo", t.Fo},
                      {"Df", t.Df},
                      {"Ld", t.Ld},
                      {"Cs", t.Cs},
                      {"Rd", t.Rd},
                      {"Ck", t.Ck},
                      {"Level", t.Level},
                      {"filterType", project.design.filterType},
                      {"responseType", project.design.responseType}};
    if (project.design.exact) root["design"]["exact"] = true;
    if (!project.design.capacitor.empty()) root["design"]["capacitorPF"] = project.design.capacitor;
    if (beyondDesignFile) {
        // What the two list numbers stand for, for a reader of the file.
        const LadderChoice ladder = LadderOfFilterType(project.design.filterType);
        Json& d = root["design"];
        d["structure"] = StructureWord(ladder.structure);
        d["crystals"] = ladder.crystals;
        const int response = project.design.responseType;
        d["family"] = ResponseKeyword(response);
        if (project.design.responseType == static_cast<int>(ResponseType::Chebyshev))
            d["rippleDb"] = project.design.ripple;
    }
    Json& crystals = root["crystals"] = Json::array();
    for (const NamedCrystal& c : project.crystals) {
        crystals.push_back({{"name", c.name},
                            {"fsHz", c.model.fsHz},
                            {"lmH", c.model.lmH},
                            {"cmF", c.model.cmF},
                            {"rmOhm", c.model.rmOhm},
                            {"c0F", c.model.c0F}});
        if (!c.model.modes.empty()) {
            Json& modes = crystals.back()["modes"] = Json::array();
            for (const CrystalMode& m : c.model.modes)
                modes.push_back({{"fsHz", m.fsHz}, {"lmH", m.lmH}, {"rmOhm", m.rmOhm}});
        }
        if (!c.sweep) continue;
        Json points = Json::array();
        for (std::size_t i = 0; i < c.sweep->frequencyHz.size() && i < c.sweep->measured.size();
             ++i) {
            const std::complex<double> s = c.sweep->measured[i];
            points.push_back({c.sweep->frequencyHz[i], s.real(), s.imag()});
        }
        crystals.back()["sweep"] = {
            {"kind", c.sweep->kind == SweepKind::OnePort ? OnePortName : SeriesThroughName},
            {"fixtureOhm", c.sweep->fixtureOhm},
            {"points", std::move(points)}};
    }
    root["positions"] = project.positions;
    root["useSet"] = project.useSet;
    root["trim"] = project.trim;
    if (project.rounding) {
        const RoundingRequest& r = *project.rounding;
        Json& rounding = root["rounding"] = {{"series", std::string(NameOf(r.series))},
                                             {"refitTermination", r.refitTermination},
                                             {"terminationE24", r.terminationToE24}};
        if (r.parallelPct) rounding["parallelPct"] = *r.parallelPct;
    }
    Json& tuning = root["tuning"] = Json::array();
    for (const TunedPart& part : project.tuning)
        tuning.push_back({{"label", part.label}, {"value", part.value}});
    if (project.matchOhm) root["matchOhm"] = *project.matchOhm;
    // A name that is not valid UTF-8 is written with replacement characters, not refused.
    return root.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

void WriteProjectFile(const std::string& path, const Project& project) {
    WriteFileAtomically(path, ProjectBytes(project));
}

std::string ProjectFileName(const std::string& chosen) {
    constexpr std::string_view extension = ".feldan";
    if (chosen.size() >= extension.size()) {
        std::string tail = chosen.substr(chosen.size() - extension.size());
        std::transform(tail.begin(), tail.end(), tail.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (tail == extension) return chosen;
    }
    return chosen + std::string(extension);
}

}  // namespace feldan
