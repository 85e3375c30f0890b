// The design document alone, and the windows built on it without a main window: what they write
// into it and what they take from it.
#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "engine/design_run.h"
#include "files/design_file.h"
#include "ui/assembly/rounding_window.h"
#include "ui/assembly/tuning_panel.h"
#include "ui/common/design_document.h"
#include "ui/crystals/crystal_window.h"
#include "ui/main/input_panel.h"
#include "ui_test_support.h"

using namespace feldan;
using feldan::testing::Child;
using feldan::testing::RecordingDialogs;

class DocumentTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { feldan::testing::IsolateSettings(); }

    void aSavedFileReadsBackAsTheDocumentAndClearsTheMark() {
        QTemporaryDir folder;
        DesignDocument document('.');
        QVERIFY(!document.HasUnsavedChanges());
        InputTexts texts;
        texts.Df = "2400";
        document.SetTexts(texts);
        document.SetFilterType(5);
        QVERIFY(document.HasUnsavedChanges());
        const std::string path = folder.filePath(QStringLiteral("cw.fdn")).toStdString();
        document.Save(path, false);
        QVERIFY(!document.HasUnsavedChanges());
        // Read back by the files layer, not by the document.
        DesignFileLines lines{};
        const DesignFields read = LoadDesignFile(path, lines);
        QCOMPARE(read.texts.Df, std::string("2400"));
        QCOMPARE(read.filterType, 5);
        // A table of crystals does not go into a design file: the mark stays.
        document.Project().SetCrystals({NamedCrystal{"X1", {}}});
        document.Save(path, false);
        QVERIFY(document.HasUnsavedChanges());
        document.Save(folder.filePath(QStringLiteral("cw.feldan")).toStdString(), true);
        QVERIFY(!document.HasUnsavedChanges());
        // Новый: the start design, an empty project, no file, nothing to save.
        QSignalSpy replaced(&document, &DesignDocument::Replaced);
        document.Reset();
        QCOMPARE(replaced.count(), 1);
        QCOMPARE(document.DesignOrigin(), DesignDocument::Origin::Start);
        QCOMPARE(document.Design().filterType, DesignFields{}.filterType);
        QVERIFY(document.Project().Crystals().empty());
        QVERIFY(document.Path().isEmpty());
        QVERIFY(!document.HasUnsavedChanges());
    }

    void aRefusedCalculationKeepsTheLastResult() {
        DesignDocument document('.');
        QVERIFY(!IsRefused(document.Calculate(Language::English)));
        const std::size_t points = document.LastResult().curve.size();
        QVERIFY(points > 100);
        InputTexts texts;
        texts.Fo = "abc";
        document.SetTexts(texts);
        QVERIFY(IsRefused(document.Calculate(Language::English)));
        QCOMPARE(document.LastResult().curve.size(), points);
    }

    // The kept build is never older than the document: each change gives the build a fresh
    // BuildProject would give.
    void theBuildFollowsEveryChange() {
        DesignDocument document('.');
        const auto capacitors = [](const ProjectBuild& build) {
            std::vector<double> values;
            for (const TunablePart& part : build.parts)
                values.push_back(part.value);
            return values;
        };
        const std::vector<double> before = capacitors(document.Build());
        InputTexts texts;
        texts.Df = "2000";
        document.SetTexts(texts);
        QVERIFY(capacitors(document.Build()) != before);
        QCOMPARE(capacitors(document.Build()),
                 capacitors(BuildProject(document.WholeProject(), '.')));
        QVERIFY(!document.Build().matching);
        document.Project().SetMatchOhm(50);
        QVERIFY(document.Build().matching.has_value());
    }

    // A Расчет designs once, and whatever reads the design after it (the build, the views'
    // filters, a rounding) designs nothing again; only a change of the design does.
    void oneCalculationRunsOneDesign() {
        DesignDocument document('.');
        const long before = DesignsRun();
        QVERIFY(!IsRefused(document.Calculate(Language::Russian)));
        QVERIFY(document.Build().built.has_value());
        QVERIFY(document.BuildDesignOnly().built.has_value());
        for (CircuitChoice c : {CircuitChoice::Schematic, CircuitChoice::Analysed})
            QCOMPARE(document.DesignedFilterOf(c).design.outcome, Outcome::Done);
        RoundingRequest e12;
        e12.series = ESeries::E12;
        document.Project().SetRounding(e12);
        document.Project().SetTuning({{"C1", 100}});
        QVERIFY(document.Build().rounding.has_value());
        document.Calculate(Language::English);
        QCOMPARE(DesignsRun() - before, 1L);
        InputTexts texts = document.Design().texts;
        texts.Df = "2000";
        document.SetTexts(texts);
        document.Calculate(Language::Russian);
        QCOMPARE(DesignsRun() - before, 2L);
    }

    // A rounded, tuned project is one circuit wherever it goes: the views and the report
    // (DesignedFilterOf), sweep and export --project (FilterOfBuild) and the tolerance run
    // (AsBuilt) get the same parts and terminations, and they are the rounded, tuned ones.
    void asBuiltIsOneCircuit() {
        Project project;
        project.rounding = RoundingRequest{};
        project.rounding->series = ESeries::E12;
        project.tuning = {{"Rin", 333}, {"C3", 150}};
        DesignDocument document('.');
        document.Open(project, QString(), {});
        const ProjectBuild build = BuildProject(document.WholeProject(), '.');
        const DesignedFilter views = document.DesignedFilterOf(CircuitChoice::Schematic);
        const DesignedFilter sweep = FilterOfBuild(build, CircuitChoice::Schematic);
        const BuiltDesign tolerance = AsBuilt(build);
        QCOMPARE(views.values.CapPF, sweep.values.CapPF);
        QCOMPARE(views.values.CapPF, tolerance.values.CapPF);
        QCOMPARE(views.portOhm, 333.0);
        QCOMPARE(tolerance.design.synthesis.InputOhm, 333.0);
        const auto c3 = std::find_if(build.parts.begin(), build.parts.end(),
                                     [](const TunablePart& part) { return part.label == "C3"; });
        QVERIFY(c3 != build.parts.end() && build.rounding.has_value());
        QCOMPARE(views.values.CapPF[std::size_t(c3->index)], 150.0);
        QVERIFY(document.PartsInForceText().contains(QStringLiteral("E12")));
    }

    // The panel writes every edit into the document and shows what a file brings.
    void theInputPanelAndTheDocumentAgree() {
        DesignDocument document('.');
        QWidget host;
        testing::RecordingDialogs dialogs;
        InputPanel panel(document, dialogs, &host);
        auto* df = Child<QLineEdit>(&panel, "dfEdit");
        df->setText(QStringLiteral("1800"));
        QCOMPARE(document.Design().texts.Df, std::string("1800"));
        Project opened;
        opened.design.texts.Fo = "10700";
        opened.design.filterType = 3;
        document.Open(opened, QStringLiteral("/tmp/x.feldan"), {});
        QCOMPARE(Child<QLineEdit>(&panel, "foEdit")->text(), QStringLiteral("10700"));
        QCOMPARE(df->text(), QString::fromStdString(InputTexts{}.Df));
        QCOMPARE(Child<QLineEdit>(&panel, "topologyNameEdit")->text(),
                 OpenedTopologyDisplayName(3));
        // Filling the fields from the file wrote nothing back: the document is as opened.
        QVERIFY(!document.HasUnsavedChanges());
        // A set in force: the crystal fields are not what the design takes, and say so.
        auto* fo = Child<QLineEdit>(&panel, "foEdit");
        QVERIFY(fo->isEnabled());
        document.Project().SetCrystals({NamedCrystal{"X1", {}}, NamedCrystal{"X2", {}}});
        document.Project().SetPositions({1, 0});
        QVERIFY(!fo->isEnabled());
        QVERIFY(Child<QWidget>(&panel, "crystalDataFrame")
                    ->statusTip()
                    .contains(QStringLiteral("X2, X1")));
        document.Project().SetUseSet(false);
        QVERIFY(fo->isEnabled());
    }

    void theBuildWindowsWorkOnTheDocument() {
        DesignDocument document('.');
        QWidget host;
        RecordingDialogs dialogs;
        RoundingWindow rounding(document, &host);
        rounding.show();
        QVERIFY(rounding.Built().has_value());
        InputTexts texts;
        texts.Ld = "0";
        document.SetTexts(texts);
        document.AnnounceCalculated();
        QVERIFY(!rounding.Built().has_value());

        document.SetTexts(InputTexts{});
        ChartModel chart;
        TuningPanel tuning(document, chart, &host);
        host.show();
        tuning.show();
        QCOMPARE(tuning.Parts().size(), document.Build().parts.size());
        tuning.SetStep(TuningStep::OnePercent);
        QTest::keyClick(Child<QAbstractSpinBox>(&host, "tuneC1"), Qt::Key_Up);
        QCOMPARE(document.Project().Tuning().size(), std::size_t(1));

        CrystalWindow crystals(document, dialogs, &host);
        crystals.AddRow();
        QCOMPARE(document.Project().Crystals().size(), std::size_t(1));
    }
};

QTEST_MAIN(DocumentTest)
#include "document_test.moc"
