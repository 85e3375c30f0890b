// "Открыть" and "Сохранить" through the main window, with the file dialogs answered by the
// recording dialog service.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include "engine/synthesis.h"
#include "ui/widgets/panel_bar.h"
#include "ui_test_support.h"

using feldan::testing::Utf8;
using feldan::testing::WindowUnderTest;

namespace {

QStringList Texts(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* text : texts)
        list.append(Utf8(text));
    return list;
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

const QByteArray ExampleBytes(
    "8861.736\r\n10.1\r\n6.3\r\n5.7\r\n3100\r\n\r\n\r\n-3\r\n91\r\n2\r\n1\r\n");

// Everything of the window that opening a file must leave alone, and what it sets.
struct WindowSnapshot {
    QStringList fields;
    QString edit7;
    QString edit10;
    int filterType = 0;
    int responseType = 0;
    int combo1 = 0;
    int combo2 = 0;
    QStringList visibleImages;
    bool ckEnabled = false;
    QString memo;
    int curveCount = 0;
    int points = 0;

    explicit WindowSnapshot(const WindowUnderTest& w) {
        for (const char* name :
             {"foEdit", "ldEdit", "csEdit", "rdEdit", "dfEdit", "levelEdit", "ckEdit"})
            fields.append(w.Get<QLineEdit>(name)->text());
        edit7 = w.Get<QLineEdit>("topologyNameEdit")->text();
        edit10 = w.Get<QLineEdit>("responseNameEdit")->text();
        filterType = w.form->Document().Design().filterType;
        responseType = w.form->Document().Design().responseType;
        combo1 = w.Get<QComboBox>("topologyCombo")->currentIndex();
        combo2 = w.Get<QComboBox>("responseCombo")->currentIndex();
        visibleImages = w.VisibleSchematics();
        ckEnabled = w.Get<QLineEdit>("ckEdit")->isEnabled();
        memo = w.Get<QTextEdit>("resultText")->toPlainText();
        curveCount = w.form->Overlays().CurveCount();
        for (int s = 0; s < 5; ++s)
            points += static_cast<int>(w.Series(s)->count());
    }
};

// Picks a list entry as a user does: the list's activation runs the window's handler.
void Choose(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);
}

}  // namespace

class DesignFileCommandsTest : public QObject {
    Q_OBJECT

  private slots:
    void openSetsTheDesignAndCalculatesIt_data();
    void openSetsTheDesignAndCalculatesIt();
    void dialogsStartInTheLastFolderUsed();
    void openCompletesANameWithoutExtension();
    void cancelledDialogsChangeNothing();
    void fileThatFailsChangesNothing_data();
    void fileThatFailsChangesNothing();
    void saveWritesTheWindowsDesign_data();
    void saveWritesTheWindowsDesign();
    void reservedLinesOfTheOpenedFileAreSavedAgain();
    void saveWritesBackSaveAsAsksNewStartsAgain();
    void saveFailuresAreReportedAndKeepTheOldFile();
    void textWindows1251CannotHoldIsNotSaved();
    void exactDesignLivesInTheProjectOnly();
    void designBeyondTheFileOffersAProject();
    void untitledSaveOffersANameOfTheDesign();
};

// A Bessel design does not fit a design file: the refusal names it whole and offers to save it
// as a project instead, from the same question.
void DesignFileCommandsTest::designBeyondTheFileOffersAProject() {
    QTemporaryDir folder;
    WindowUnderTest w;
    auto* response = w.Get<QComboBox>("responseCombo");
    Choose(response, int(feldan::ResponseType::Bessel) - 1);
    const QString design = folder.filePath(QStringLiteral("bessel.fdn"));
    w.dialogs->saveAnswer = design;
    w.Trigger("saveAsAction");
    QCOMPARE(w.dialogs->questions.size(), 1);
    QVERIFY2(w.dialogs->questions.front().contains(QStringLiteral("Be04-3100 ")),
             qPrintable(w.dialogs->questions.front()));
    QVERIFY(!QFile::exists(design));
    // Yes: the save dialog again, at the name with the project's extension, writes a project.
    w.dialogs->yesAnswer = true;
    w.Trigger("saveAsAction");
    QCOMPARE(w.dialogs->saveRequests.back().front(),
             folder.filePath(QStringLiteral("bessel.feldan")));
    QVERIFY(!QFile::exists(design));
    QVERIFY(QFile::exists(folder.filePath(QStringLiteral("bessel.feldan"))));
    QVERIFY(!w.form->Document().HasUnsavedChanges());
}

// "Точно по заданию": the summary names the band asked for, the status text says so; a project
// keeps the mark, a design file says it cannot and leaves it unsaved, Новый clears it.
void DesignFileCommandsTest::exactDesignLivesInTheProjectOnly() {
    QTemporaryDir folder;
    WindowUnderTest w;
    auto* exact = w.Get<QCheckBox>("exactBox");
    QVERIFY(!exact->isChecked());
    exact->setChecked(true);
    w.Trigger("overlayAction");
    w.Calculate();
    QVERIFY2(w.MemoLines().back().endsWith(Utf8("dF(-3 дБ)=3100 Гц.")),
             qPrintable(w.MemoLines().back()));
    QVERIFY(w.Get<feldan::PanelBar>("overlayStatusBar")->PanelText(0).contains(Utf8(" точно")));
    QVERIFY(exact->statusTip().contains(Utf8("достижимо до ")));

    w.dialogs->saveAnswer = folder.filePath(QStringLiteral("plain.fdn"));
    w.Trigger("saveAsAction");
    QCOMPARE(w.dialogs->warnings.size(), 1);
    QVERIFY(w.dialogs->warnings.front().contains(Utf8("«Точно по заданию»")));
    QVERIFY(w.form->Document().HasUnsavedChanges());
    w.dialogs->saveAnswer = folder.filePath(QStringLiteral("exact.feldan"));
    w.Trigger("saveAsAction");
    QVERIFY(!w.form->Document().HasUnsavedChanges());

    w.Trigger("newAction");
    QVERIFY(!exact->isChecked() && !w.form->Document().Design().exact);
    w.dialogs->openAnswer = folder.filePath(QStringLiteral("exact.feldan"));
    w.Trigger("openAction");
    QVERIFY(exact->isChecked());
    w.dialogs->openAnswer = folder.filePath(QStringLiteral("plain.fdn"));
    w.Trigger("openAction");
    QVERIFY(!exact->isChecked());
}

void DesignFileCommandsTest::openSetsTheDesignAndCalculatesIt_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("fields");  // Fo, Ld, Cs, Rd, dF, level, Ck
    QTest::addColumn<int>("filterType");
    QTest::addColumn<int>("responseType");
    QTest::addColumn<QString>("edit7");
    QTest::addColumn<QString>("edit10");
    QTest::addColumn<bool>("calculates");  // else refused, with its message

    QTest::newRow("6-crystal ladder, Chebyshev 0.28")
        << QByteArray("9000,5\r\n12\r\n4,1\r\n8\r\n2400\r\n\r\n\r\n-6\r\n91\r\n3\r\n5\r\n")
        << Texts({"9000,5", "12", "4,1", "8", "2400", "-6", "91"}) << 3 << 5
        << Utf8("6-х кристальный") << Utf8("Чебышева dA=0.28 дБ") << true;
    QTest::newRow("8-crystal ladder, Chebyshev 0.044, hexadecimal types")
        << QByteArray("1\n2\n3\n4\n5\n6\n7\n8\n9\n$4\n0x2\n")
        << Texts({"1", "2", "3", "4", "5", "8", "9"}) << 4 << 2 << Utf8("8-х кристальный")
        << Utf8("Чебышева dA=0.044 дБ") << false;
    QTest::newRow("8CW, Butterworth, Windows-1251 texts, CR only")
        << QByteArray("\xF7\xE0\xF1\xF2\xEE\xF2\xE0\r\xA8\r\r\r\r\r\r\r\xB9\r7\r1\r")
        << Texts({"частота", "Ё", "", "", "", "", "№"}) << 7 << 1 << Utf8("8CW")
        << Utf8("Баттерворта dA=3 дБ") << false;
    QTest::newRow("3-crystal ladder, Chebyshev 0.177, Ctrl-Z and a 12th line")
        << QByteArray("a\r\nb\r\nc\r\nd\r\ne\r\n\r\n\r\nf\r\ng\r\n1\r\n4\r\nextra\r\n\x1A junk")
        << Texts({"a", "b", "c", "d", "e", "f", "g"}) << 1 << 4 << Utf8("3-х кристальный")
        << Utf8("Чебышева dA=0.177 дБ") << false;
}

void DesignFileCommandsTest::openSetsTheDesignAndCalculatesIt() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, fields);
    QFETCH(int, filterType);
    QFETCH(int, responseType);
    QFETCH(QString, edit7);
    QFETCH(QString, edit10);
    QFETCH(bool, calculates);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("design.fdn"));
    WriteBytes(path, bytes);

    WindowUnderTest w;
    // The start design calculated first: none of it may stay on show as if it were the file's.
    w.Get<QAction>("calculateAction")->trigger();
    const WindowSnapshot before(w);
    QVERIFY(before.points > 0);

    w.dialogs->openAnswer = path;
    w.Get<QAction>("openAction")->trigger();

    const WindowSnapshot after(w);
    QCOMPARE(after.fields, fields);
    QCOMPARE(after.filterType, filterType);
    QCOMPARE(after.responseType, responseType);
    QCOMPARE(after.edit7, edit7);
    QCOMPARE(after.edit10, edit10);
    // The lists stay; the schematic and the Ck field follow the file's topology.
    QCOMPARE(after.combo1, before.combo1);
    QCOMPARE(after.combo2, before.combo2);
    const int circuit = feldan::CircuitOfDesign(w.form->Document().Design());
    QCOMPARE(after.visibleImages, QStringList{QStringLiteral("schematic%1").arg(circuit)});
    QCOMPARE(after.ckEnabled, filterType >= 5);
    // The file's design is calculated at once; a refused one says why and leaves nothing of the
    // design before.
    QCOMPARE(w.dialogs->errors.size() + w.dialogs->warnings.size(), calculates ? 0 : 1);
    if (calculates) {
        QVERIFY(after.points > 0);
        QVERIFY(after.memo != before.memo && !after.memo.isEmpty());
        QCOMPARE(w.form->Document().LastResult().input.FoKHz, 9000.5);
    } else {
        QCOMPARE(after.points, 0);
        QCOMPARE(after.memo, QString());
    }
}

void DesignFileCommandsTest::dialogsStartInTheLastFolderUsed() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    WindowUnderTest w;
    // A design saved in one folder: both dialogs then start there, also in a new window.
    w.dialogs->saveAnswer = folder.filePath(QStringLiteral("kept"));
    w.Get<QAction>("saveAction")->trigger();
    QVERIFY(QFileInfo::exists(folder.filePath(QStringLiteral("kept.fdn"))));
    WindowUnderTest later;
    later.dialogs->openAnswer.clear();
    later.Get<QAction>("openAction")->trigger();
    later.dialogs->saveAnswer.clear();
    later.Get<QAction>("saveAction")->trigger();
    QCOMPARE(later.dialogs->openRequests.size(), 1);
    QCOMPARE(later.dialogs->saveRequests.size(), 1);
    const QStringList open = later.dialogs->openRequests.front();
    const QStringList save = later.dialogs->saveRequests.front();
    QCOMPARE(QDir(open[0]).absolutePath(), QDir(folder.path()).absolutePath());
    QVERIFY(open[0].endsWith(QLatin1Char('/')));
    QCOMPARE(QFileInfo(save[0]).absolutePath(), QDir(folder.path()).absolutePath());
    // Never the program's own folder, where an installed program cannot save.
    QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Feldan"),
              QStringLiteral("Feldan"))
        .clear();
    WindowUnderTest fresh;
    fresh.Get<QAction>("openAction")->trigger();
    QVERIFY(QDir(fresh.dialogs->openRequests.front()[0]).absolutePath() !=
            QDir(QCoreApplication::applicationDirPath()).absolutePath());
    // The design files and projects first; the last entry shows every file. A window without
    // crystals saves a design file unless told otherwise.
    QCOMPARE(open[1], Utf8("файлы данных по кварцам и проекты (*.fdn *.feldan);;файлы данных по "
                           "кварцам (*.fdn);;проекты Feldan (*.feldan);;все файлы (*)"));
    QCOMPARE(save[1], Utf8("файлы данных кварца (*.fdn);;проекты Feldan (*.feldan)"));
}

void DesignFileCommandsTest::openCompletesANameWithoutExtension() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    WriteBytes(folder.filePath(QStringLiteral("design.fdn")),
               "1\r\n2\r\n3\r\n4\r\n5\r\n\r\n\r\n-3\r\n91\r\n5\r\n1\r\n");
    WindowUnderTest w;
    w.dialogs->openAnswer = folder.filePath(QStringLiteral("design"));
    w.Get<QAction>("openAction")->trigger();
    QCOMPARE(w.dialogs->errors, QStringList());
    QCOMPARE(w.Get<QLineEdit>("foEdit")->text(), QStringLiteral("1"));
    QCOMPARE(w.form->Document().Design().filterType, 5);
    QCOMPARE(w.Get<QLineEdit>("topologyNameEdit")->text(), QStringLiteral("4CW"));
}

void DesignFileCommandsTest::cancelledDialogsChangeNothing() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    WindowUnderTest w;
    const WindowSnapshot before(w);
    w.Get<QAction>("openAction")->trigger();
    w.Get<QAction>("saveAction")->trigger();
    const WindowSnapshot after(w);
    QCOMPARE(after.fields, before.fields);
    QCOMPARE(after.filterType, before.filterType);
    QCOMPARE(after.edit7, before.edit7);
    QCOMPARE(after.edit10, before.edit10);
    QCOMPARE(w.dialogs->errors, QStringList());
    QCOMPARE(w.dialogs->warnings, QStringList());
    QCOMPARE(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    // A cancelled save writes no file under an empty name either.
    QVERIFY(!QFileInfo::exists(QStringLiteral(".fdn")));
}

void DesignFileCommandsTest::fileThatFailsChangesNothing_data() {
    QTest::addColumn<QByteArray>("bytes");  // empty: no file at all
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("error");    // the error box, or empty
    QTest::addColumn<QString>("warning");  // a piece of the warning, or empty

    const QByteArray good("8\r\n9\r\n1\r\n2\r\n3\r\n\r\n\r\n-1\r\n5\r\n");
    QTest::newRow("filter type not an integer")
        << (good + "three\r\n1\r\n") << Utf8("bad.fdn")
        << Utf8("'three' is not a valid integer value") << QString();
    QTest::newRow("response not an integer")
        << (good + "6\r\n1.0\r\n") << Utf8("bad.fdn") << Utf8("'1.0' is not a valid integer value")
        << QString();
    QTest::newRow("9 lines") << good << Utf8("bad.fdn") << Utf8("'' is not a valid integer value")
                             << QString();
    QTest::newRow("filter type out of range")
        << (good + "9\r\n1\r\n") << Utf8("bad.fdn") << QString() << Utf8("от 1 до 7");
    QTest::newRow("response out of range")
        << (good + "6\r\n0\r\n") << Utf8("bad.fdn") << QString() << Utf8("от 1 до 5");
    QTest::newRow("missing file") << QByteArray() << Utf8("missing.fdn")
                                  << Utf8("«missing.fdn»: нет такого файла или устройства")
                                  << QString();
}

void DesignFileCommandsTest::fileThatFailsChangesNothing() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(QString, error);
    QFETCH(QString, warning);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(name);
    if (!bytes.isEmpty()) WriteBytes(path, bytes);

    WindowUnderTest w;
    Choose(w.Get<QComboBox>("topologyCombo"), 4);
    const WindowSnapshot before(w);
    w.dialogs->openAnswer = path;
    w.Get<QAction>("openAction")->trigger();

    if (!error.isEmpty()) {
        QCOMPARE(w.dialogs->errors, QStringList{error});
        QCOMPARE(w.dialogs->warnings, QStringList());
    } else {
        QCOMPARE(w.dialogs->errors, QStringList());
        QCOMPARE(w.dialogs->warnings.size(), 1);
        QVERIFY2(w.dialogs->warnings.front().contains(warning),
                 qPrintable(w.dialogs->warnings.front()));
    }
    const WindowSnapshot after(w);
    QCOMPARE(after.fields, before.fields);
    QCOMPARE(after.filterType, before.filterType);
    QCOMPARE(after.responseType, before.responseType);
    QCOMPARE(after.edit7, before.edit7);
    QCOMPARE(after.edit10, before.edit10);

    // The lines of the failed file do not reach the next save either.
    const QString saved = folder.filePath(QStringLiteral("saved"));
    w.dialogs->saveAnswer = saved;
    w.Get<QAction>("saveAction")->trigger();
    const QList<QByteArray> lines = ReadBytes(saved + QStringLiteral(".fdn")).split('\n');
    QCOMPARE(lines.size(), 12);
    QCOMPARE(lines[5], QByteArray("\r"));
    QCOMPARE(lines[6], QByteArray("\r"));
}

void DesignFileCommandsTest::saveWritesTheWindowsDesign_data() {
    QTest::addColumn<QString>("answer");  // what the save dialog returns, in the folder
    QTest::addColumn<QString>("written");

    QTest::newRow("typed name") << Utf8("design") << Utf8("design.fdn");
    QTest::newRow("existing design file") << Utf8("old.fdn") << Utf8("old.fdn");
    QTest::newRow("upper-case extension") << Utf8("OLD.FDN") << Utf8("OLD.FDN");
    QTest::newRow("other extension") << Utf8("design.txt") << Utf8("design.txt.fdn");
}

void DesignFileCommandsTest::saveWritesTheWindowsDesign() {
    QFETCH(QString, answer);
    QFETCH(QString, written);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    WriteBytes(folder.filePath(QStringLiteral("old.fdn")), "old\r\n");
    WriteBytes(folder.filePath(QStringLiteral("OLD.FDN")), "old\r\n");

    WindowUnderTest w;
    // The user's design: a CW topology and a Chebyshev response chosen in the lists, and texts
    // typed or pasted into the fields.
    Choose(w.Get<QComboBox>("topologyCombo"), 5);
    Choose(w.Get<QComboBox>("responseCombo"), 3);
    QCOMPARE(w.form->Document().Design().filterType, 6);
    QCOMPARE(w.form->Document().Design().responseType, 4);
    w.Get<QLineEdit>("foEdit")->setText(QStringLiteral("10700,25"));
    w.Get<QLineEdit>("ldEdit")->setText(Utf8("Ёж"));
    w.Get<QLineEdit>("ckEdit")->setText(QString());

    w.dialogs->saveAnswer = folder.filePath(answer);
    w.Get<QAction>("saveAction")->trigger();
    QCOMPARE(w.dialogs->errors, QStringList());
    QCOMPARE(w.dialogs->warnings, QStringList());
    QCOMPARE(
        ReadBytes(folder.filePath(written)),
        QByteArray("10700,25\r\n\xA8\xE6\r\n6.3\r\n5.7\r\n3100\r\n\r\n\r\n-3\r\n\r\n6\r\n4\r\n"));
    // Saving writes no results and leaves nothing else in the folder.
    QStringList expected{QStringLiteral("OLD.FDN"), QStringLiteral("old.fdn"), written};
    expected.removeDuplicates();
    expected.sort();
    QStringList names = QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
    names.sort();
    QCOMPARE(names, expected);
}

void DesignFileCommandsTest::reservedLinesOfTheOpenedFileAreSavedAgain() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    WindowUnderTest w;

    // Before any file is opened the reserved lines are empty.
    w.dialogs->saveAnswer = folder.filePath(QStringLiteral("first"));
    w.Get<QAction>("saveAction")->trigger();
    QCOMPARE(ReadBytes(folder.filePath(QStringLiteral("first.fdn"))), ExampleBytes);

    const QString opened = folder.filePath(QStringLiteral("opened.fdn"));
    WriteBytes(opened,
               "8861.736\r\n10.1\r\n6.3\r\n5.7\r\n3100\r\nx\r\n\xF0\xE5\xE7\x98\r\n-"
               "3\r\n91\r\n2\r\n1\r\n");
    w.dialogs->openAnswer = opened;
    w.Get<QAction>("openAction")->trigger();
    QCOMPARE(w.dialogs->errors, QStringList());
    w.Get<QLineEdit>("dfEdit")->setText(QStringLiteral("2400"));
    w.dialogs->saveAnswer = folder.filePath(QStringLiteral("second.fdn"));
    w.Get<QAction>("saveAsAction")->trigger();
    QCOMPARE(ReadBytes(folder.filePath(QStringLiteral("second.fdn"))),
             QByteArray("8861.736\r\n10.1\r\n6.3\r\n5.7\r\n2400\r\nx\r\n\xF0\xE5\xE7\x98\r\n-"
                        "3\r\n91\r\n2\r\n1\r\n"));
}

void DesignFileCommandsTest::saveWritesBackSaveAsAsksNewStartsAgain() {
    QTemporaryDir folder;
    WindowUnderTest w;
    const QString path = QFileInfo(folder.filePath(QStringLiteral("mine.fdn"))).absoluteFilePath();
    w.dialogs->saveAnswer = path;
    w.Get<QAction>("saveAction")->trigger();  // untitled: asks
    QCOMPARE(w.dialogs->saveRequests.size(), 1);

    // Once the design has a file, Сохранить writes there without a dialog.
    w.Get<QLineEdit>("dfEdit")->setText(QStringLiteral("2400"));
    QVERIFY(w.form->isWindowModified());
    w.dialogs->saveAnswer.clear();  // a dialog now would cancel the save
    w.Get<QAction>("saveAction")->trigger();
    QCOMPARE(w.dialogs->saveRequests.size(), 1);
    QVERIFY(!w.form->isWindowModified());
    QVERIFY(ReadBytes(path).contains("\r\n2400\r\n"));

    // Сохранить как… always asks, starting at the file's own name.
    w.Get<QAction>("saveAsAction")->trigger();
    QCOMPARE(w.dialogs->saveRequests.size(), 2);
    QCOMPARE(w.dialogs->saveRequests[1][0], path);

    // Новый asks about changes first; cancelled, nothing changes.
    w.Get<QLineEdit>("foEdit")->setText(QStringLiteral("9000"));
    w.dialogs->unsavedAnswer = feldan::DialogService::UnsavedAnswer::Cancel;
    w.Get<QAction>("newAction")->trigger();
    QCOMPARE(w.form->Document().Design().texts.Fo, std::string("9000"));
    w.dialogs->unsavedAnswer = feldan::DialogService::UnsavedAnswer::Discard;
    w.Get<QAction>("newAction")->trigger();
    QCOMPARE(w.dialogs->unsavedQuestions,
             (QStringList{QStringLiteral("mine.fdn"), QStringLiteral("mine.fdn")}));
    const feldan::InputTexts start;
    QCOMPARE(w.form->Document().Design().texts.Fo, start.Fo);
    QCOMPARE(w.form->Document().Design().texts.Df, start.Df);
    QVERIFY(w.form->Document().Path().isEmpty());
    QVERIFY(!w.form->isWindowModified());
    QVERIFY(!w.form->windowTitle().contains(QStringLiteral("mine")));
}

void DesignFileCommandsTest::saveFailuresAreReportedAndKeepTheOldFile() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString readOnly = folder.filePath(QStringLiteral("read-only.fdn"));
    WriteBytes(readOnly, "old\r\n");
    QVERIFY(QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadUser));
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("folder.fdn")));

    struct Case {
        QString answer;
        QString error;
    };
    const Case cases[] = {
        {readOnly, QStringLiteral("File access denied")},
        {folder.filePath(QStringLiteral("folder.fdn")), QStringLiteral("File access denied")},
        {folder.filePath(QStringLiteral("missing/a.fdn")), QStringLiteral("Invalid filename")},
    };
    for (const Case& c : cases) {
        WindowUnderTest w;
        w.dialogs->saveAnswer = c.answer;
        w.Get<QAction>("saveAction")->trigger();
        QCOMPARE(w.dialogs->errors, QStringList{c.error});
    }
    QCOMPARE(ReadBytes(readOnly), QByteArray("old\r\n"));
    QStringList names = QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
    names.sort();
    QCOMPARE(names, (QStringList{QStringLiteral("folder.fdn"), QStringLiteral("read-only.fdn")}));
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void DesignFileCommandsTest::textWindows1251CannotHoldIsNotSaved() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("design.fdn"));
    WriteBytes(path, ExampleBytes);
    WindowUnderTest w;
    w.Get<QLineEdit>("csEdit")->setText(Utf8("6.3中"));
    w.dialogs->saveAnswer = path;
    w.Get<QAction>("saveAction")->trigger();
    QCOMPARE(w.dialogs->errors, QStringList());
    QCOMPARE(w.dialogs->warnings.size(), 1);
    QVERIFY2(w.dialogs->warnings.front().contains(Utf8("中")),
             qPrintable(w.dialogs->warnings.front()));
    QVERIFY(w.dialogs->warnings.front().contains(Utf8("в поле Cs(пФ)")));
    QCOMPARE(ReadBytes(path), ExampleBytes);
}

// The first save of a design never saved offers a name built from it, its prototype's code and
// band, not an empty field; the boxes and dialogs are titled by the program's name alone.
void DesignFileCommandsTest::untitledSaveOffersANameOfTheDesign() {
    WindowUnderTest w;
    w.dialogs->saveAnswer.clear();
    w.Trigger("saveAction");
    const QString dfText = w.Get<QLineEdit>("dfEdit")->text();
    QCOMPARE(QFileInfo(w.dialogs->saveRequests.back()[0]).fileName(),
             QStringLiteral("B04-%1.fdn").arg(dfText));
    // A Chebyshev of a typed ripple of seven crystals, in a project that holds crystals too.
    w.form->Document().SetFilterType(10);
    w.form->Document().SetRipple("0,5");
    w.form->Document().SetResponseType(int(feldan::ResponseType::Chebyshev));
    w.form->Document().Project().SetCrystals({{"x1", {}, {}}});
    w.Trigger("saveAsAction");
    QCOMPARE(QFileInfo(w.dialogs->saveRequests.back()[0]).fileName(),
             QStringLiteral("T07-0.5dB-%1.feldan").arg(dfText));
    QCOMPARE(feldan::MessageBoxTitle(), QStringLiteral("Feldan"));
}

QTEST_MAIN(DesignFileCommandsTest)
#include "design_file_commands_test.moc"
