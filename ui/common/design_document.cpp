#include "ui/common/design_document.h"

#include <algorithm>

#include "engine/ladder_design.h"

#include <QFile>

#include "circuit/topologies.h"
#include "engine/result_text.h"
#include "engine/standard_values.h"
#include "files/project_file.h"

namespace feldan {

namespace {

bool SameDesign(const DesignFields& a, const DesignFields& b) {
    const InputTexts& x = a.texts;
    const InputTexts& y = b.texts;
    return a.filterType == b.filterType && a.responseType == b.responseType && a.exact == b.exact &&
           a.ripple == b.ripple && x.Fo == y.Fo && x.Df == y.Df && x.Ld == y.Ld && x.Cs == y.Cs &&
           x.Rd == y.Rd && x.Ck == y.Ck && x.Level == y.Level;
}

}  // namespace

DesignDocument::DesignDocument(char separator, QObject* parent)
    : QObject(parent), separator_(separator), project_(new ProjectState(this)) {
    savedDesign_ = design_;
    savedProjectImage_ = project_->Image();
    connect(project_, &ProjectState::Changed, this, [this] {
        build_.reset();
        if (designed_ && (project_->CrystalsOfSet() != designedCrystals_ ||
                          (!designedCrystals_.empty() && project_->Trim() != designedTrim_)))
            designed_.reset();
        emit FileStateChanged();
    });
}

void DesignDocument::Changed() {
    designed_.reset();
    build_.reset();
    emit DesignChanged();
    emit FileStateChanged();
}

void DesignDocument::SetTexts(const InputTexts& texts) {
    const DesignFields before = design_;
    design_.texts = texts;
    if (!SameDesign(before, design_)) Changed();
}

void DesignDocument::SetFilterType(int filterType) {
    if (design_.filterType == filterType) return;
    design_.filterType = filterType;
    Changed();
}

void DesignDocument::SetResponseType(int responseType) {
    if (design_.responseType == responseType) return;
    design_.responseType = responseType;
    Changed();
}

void DesignDocument::SetRipple(const std::string& ripple) {
    if (design_.ripple == ripple) return;
    design_.ripple = ripple;
    Changed();
}

void DesignDocument::SetExact(bool exact) {
    if (design_.exact == exact) return;
    design_.exact = exact;
    Changed();
}

void DesignDocument::SetCapacitor(const std::string& capacitor) {
    if (design_.capacitor == capacitor) return;
    design_.capacitor = capacitor;
    Changed();
}

int DesignDocument::CrystalCount() const {
    return CrystalCountOf(design_.filterType);
}

bool DesignDocument::HasUnsavedChanges() const {
    return !SameDesign(design_, savedDesign_) || project_->Image() != savedProjectImage_;
}

void DesignDocument::Reset() {
    Replace(feldan::Project{}, QString(), DesignFileLines{}, Origin::Start);
}

void DesignDocument::Open(const feldan::Project& project, const QString& path,
                          const DesignFileLines& lines) {
    Replace(project, path, lines, Origin::File);
}

void DesignDocument::Replace(const feldan::Project& project, const QString& path,
                             const DesignFileLines& lines, Origin origin) {
    // The design first, so that whoever hears of the project's parts reads the new design.
    design_ = project.design;
    origin_ = origin;
    fileLines_ = lines;
    path_ = path;
    project_->Load(project);
    savedDesign_ = design_;
    savedProjectImage_ = project_->Image();
    lastSet_.reset();
    Changed();
    emit Replaced();
}

void DesignDocument::Save(const std::string& path, bool asProject) {
    // A project keeps the design file's lines for a later design file, when it can have one.
    if (!asProject || DesignFileHolds(design_)) FieldsToFileLines(design_, fileLines_);
    if (asProject) {
        WriteProjectFile(path, WholeProject());
    } else {
        WriteDesignFile(path, fileLines_);
    }
    path_ = QFile::decodeName(QByteArray::fromStdString(path));
    savedDesign_ = design_;
    // A design file keeps neither the project's parts nor the exact way: they stay unsaved.
    if (!asProject) savedDesign_.exact = false;
    savedProjectImage_ = asProject ? project_->Image() : ProjectState().Image();
    emit FileStateChanged();
}

bool DesignDocument::HoldsMoreThanDesign() const {
    return design_.exact || !DesignFileHolds(design_) ||
           project_->Image() != ProjectState().Image();
}

const Designed& DesignDocument::CurrentDesign() const {
    return *SharedDesign();
}

std::shared_ptr<const Designed> DesignDocument::SharedDesign() const {
    if (!designed_) {
        // A set of another size than the topology's is refused with its own message, never
        // calculated as equal crystals. The texts are composed again in the language on show.
        designedCrystals_ = project_->CrystalsOfSet();
        designedTrim_ = project_->Trim();
        designed_ = std::make_shared<const Designed>(
            RunDesign(design_, separator_, designedCrystals_, designedTrim_));
    }
    return designed_;
}

const ProjectBuild& DesignDocument::Build() const {
    if (!build_) build_ = BuildProject(WholeProject(), CurrentDesign());
    return *build_;
}

DesignBuild DesignDocument::BuildDesignOnly() const {
    return BuildDesign(CurrentDesign());
}

DesignedFilter DesignDocument::DesignedFilterOf(CircuitChoice circuit) const {
    // The build in force, rounded and tuned as the project says; a design that cannot be built
    // says why through its calculation.
    if (const ProjectBuild& build = Build(); build.built) return FilterOfBuild(build, circuit);
    return FilterOf(CurrentDesign(), circuit);
}

CrystalSetComparison DesignDocument::CompareCrystals(Language language) const {
    return CompareCrystalSet(design_, project_->CrystalsOfSet(), separator_, language);
}

QString DesignDocument::PartsInForceText() const {
    const ProjectBuild& build = Build();
    if (!build.built) return {};
    const int tuned = int(std::count_if(build.parts.begin(), build.parts.end(),
                                        [](const TunablePart& part) { return part.Tuned(); }));
    QString text = tr("Детали: по расчёту");
    if (build.rounding && project_->Rounding()) {
        const std::string_view series = NameOf(project_->Rounding()->series);
        text = tr("Детали: округлённые до %1")
                   .arg(QString::fromUtf8(series.data(), qsizetype(series.size())));
    }
    if (tuned > 0) text += tr(", подстроено: %1").arg(tuned);
    return text;
}

CalculationResult DesignDocument::Calculate(Language language) {
    const Designed& designed = CurrentDesign();
    CalculationResult result = designed.calculation;
    if (result.outcome == Outcome::Done)
        result.resultText = ComposeResultText(result, separator_, language);
    if (!IsRefused(result)) {
        lastResult_ = result;
        lastFigures_.reset();
        if (result.outcome == Outcome::Done) {
            DesignedFilter filter = FilterOf(designed, CircuitChoice::Analysed);
            lastFigures_ = FiguresOfDesign(filter);
        }
        lastSet_ = result.outcome == Outcome::Done ? designed.set : std::nullopt;
    }
    return result;
}

bool IsRefused(const CalculationResult& result) {
    const bool drawn = result.sweepStarted && !result.curve.empty();
    return result.outcome != Outcome::Done && !drawn;
}

std::string SummaryText(const CalculationResult& result, const std::optional<CrystalSetDesign>& set,
                        char separator, Language language,
                        const std::optional<DesignFigures>& figures) {
    std::string text = ComposeResultText(result, separator, language);
    if (set) text += "\r" + CrystalSetText(*set, separator, language);
    if (result.caution.id == MessageId::None && !figures) return text;
    text += "\r";
    if (result.caution.id != MessageId::None) text += "\r" + MessageText(result.caution, language);
    if (figures) {
        std::string lines = DesignFiguresText(*figures, separator, language);
        std::replace(lines.begin(), lines.end(), '\n', '\r');
        text += "\r" + lines;
    }
    return text;
}

}  // namespace feldan
