// Shared pieces of the window tests: a dialog service that answers without a person, and
// small look-ups of controls by their object names.
#pragma once

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineSeries>
#include <QPrinter>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextEdit>
#include <functional>
#include <memory>

#include "engine/calculate.h"
#include "ui/analysis/analysis_views.h"
#include "ui/common/dialog_service.h"
#include "ui/main/chart_overlays.h"
#include "ui/main/main_window.h"
#include "ui/widgets/response_chart.h"

namespace feldan::testing {

// Records every dialog the window asks for and gives the answers the test has set.
class RecordingDialogs : public DialogService {
  public:
    void Warning(const QString& text) override { warnings.append(text); }
    void Error(const QString& text) override { errors.append(text); }
    bool PrinterSetup(QPrinter& printer) override {
        ++printerSetups;
        if (preparePrinter) preparePrinter(printer);
        return printerAnswer;
    }
    QString GetOpenFileName(const QString& dir, const QString& filter) override {
        openRequests.append({dir, filter});
        return openAnswer;
    }
    QString GetSaveFileName(const QString& dir, const QString& filter) override {
        saveRequests.append({dir, filter});
        return saveAnswer;
    }
    UnsavedAnswer AskToSaveChanges(const QString& designName) override {
        unsavedQuestions.append(designName);
        return unsavedAnswer;
    }
    std::optional<double> GetNumber(const QString& label, double, double, double) override {
        numberQuestions.append(label);
        return numberAnswer;
    }
    std::optional<QSize> GetPictureSize(QSize offered) override {
        pictureQuestions.append(offered);
        if (cancelPicture) return std::nullopt;
        return pictureAnswer.isValid() ? pictureAnswer : offered;
    }

    std::optional<QString> GetRipple(const QString& offered) override {
        rippleQuestions.append(offered);
        return rippleAnswer;
    }
    bool AskYesNo(const QString& question, const QString&) override {
        questions.append(question);
        return yesAnswer;
    }

    QStringList warnings;
    QStringList errors;
    QStringList rippleQuestions;
    std::optional<QString> rippleAnswer;  // nothing: cancelled
    QStringList questions;
    bool yesAnswer = false;
    int printerSetups = 0;
    bool printerAnswer = false;
    std::function<void(QPrinter&)> preparePrinter;
    QList<QStringList> openRequests;
    QList<QStringList> saveRequests;
    QString openAnswer;
    QString saveAnswer;
    QStringList unsavedQuestions;
    UnsavedAnswer unsavedAnswer = UnsavedAnswer::Discard;
    QStringList numberQuestions;
    std::optional<double> numberAnswer;
    QList<QSize> pictureQuestions;
    QSize pictureAnswer;  // not valid: the offered size
    bool cancelPicture = false;
};

// What the windows remember goes to a folder of the test run, never to the user's settings.
inline void IsolateSettings() {
    static QTemporaryDir folder;
    static bool done = false;
    if (done) return;
    done = true;
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
}

// A fresh main window on its own design, with recording dialogs.
struct WindowUnderTest {
    explicit WindowUnderTest(char separator = '.')
        : form((IsolateSettings(), std::make_unique<MainWindow>(separator))) {
        auto recording = std::make_unique<RecordingDialogs>();
        dialogs = recording.get();
        form->SetDialogService(std::move(recording));
    }
    ~WindowUnderTest() { form.reset(); }

    template <typename T>
    T* Find(const char* name) const {
        return form->findChild<T*>(QString::fromLatin1(name));
    }
    // A control the window must have.
    template <typename T>
    T* Get(const char* name) const {
        T* control = Find<T>(name);
        if (!control) qFatal("the window has no control named %s", name);
        return control;
    }

    // Runs a menu command of the window as the user would.
    void Trigger(const char* action) const { Get<QAction>(action)->trigger(); }
    void Calculate() const { Trigger("calculateAction"); }

    QLineSeries* Series(int position) const {
        return Get<ResponseChart>("chart")->Series(position);
    }

    // The object names of the schematics shown, "schematic1" .. "schematic7".
    QStringList VisibleSchematics() const {
        // The area shows one picture, named after its circuit.
        QStringList shown;
        for (const QLabel* image :
             form->findChild<QWidget*>(QStringLiteral("schematicArea"))->findChildren<QLabel*>()) {
            if (image->isVisibleTo(form.get())) shown.append(image->objectName());
        }
        return shown;
    }

    // The summary's lines, up to the empty line before the caution and the figures.
    QStringList MemoLines() const {
        QStringList lines = AllMemoLines();
        const qsizetype gap = lines.indexOf(QString());
        return gap < 0 ? lines : lines.mid(0, gap);
    }
    QStringList AllMemoLines() const {
        const QString text = Get<QTextEdit>("resultText")->toPlainText();
        return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
    }

    std::unique_ptr<MainWindow> form;
    RecordingDialogs* dialogs = nullptr;
};

// A child a window must have, found by its object name.
template <typename T>
T* Child(const QObject* parent, const char* name) {
    T* child = parent->findChild<T*>(QString::fromLatin1(name));
    if (!child) qFatal("no child named %s", name);
    return child;
}

inline QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

}  // namespace feldan::testing
