// Every modal dialog of the main window goes through this seam, so tests can answer a dialog
// without a person and without waiting on a nested event loop.
#pragma once

#include <QSize>
#include <QString>
#include <memory>
#include <optional>
#include <utility>

#include "engine/transient.h"

class QPrinter;
class QWidget;

namespace feldan {

// How the keyed-carrier view keys the carrier, and the window of the time views' pictures.
struct KeyingChoice {
    double wpm = 25;     // dots at this speed, unless a pulse is asked for
    double pulseMs = 0;  // one pulse of this length; 0: dots
    double riseMs = 0;   // raised-cosine edges of this rise time; 0: rectangular
    WindowChoice window;
    Keying KeyingOf(int dots) const {
        return pulseMs > 0 ? Keying::Pulse(pulseMs, riseMs) : Keying::Dots(wpm, dots, riseMs);
    }
};

// The smallest and the largest side of a picture the program writes, in pixels.
inline constexpr std::pair<int, int> PictureSideRange{320, 8000};

class DialogService {
  public:
    virtual ~DialogService() = default;

    // A warning box with one OK button.
    virtual void Warning(const QString& text) = 0;
    // An error box with one OK button (a command that was abandoned).
    virtual void Error(const QString& text) = 0;
    // The printer setup dialog; true when the user leaves it with OK.
    virtual bool PrinterSetup(QPrinter& printer) = 0;
    // File dialogs; the chosen path, or an empty text when the user cancels.
    virtual QString GetOpenFileName(const QString& dir, const QString& filter) = 0;
    virtual QString GetSaveFileName(const QString& dir, const QString& filter) = 0;
    // The same, also telling which of the filters the user chose (left as it is when the
    // dialog does not say).
    virtual QString GetSaveFileNameAndFilter(const QString& dir, const QString& filter,
                                             QString* selectedFilter) {
        (void)selectedFilter;
        return GetSaveFileName(dir, filter);
    }
    // Asked before typed changes to a design would be lost (Open, Выход, closing the window).
    enum class UnsavedAnswer { Save, Discard, Cancel };
    virtual UnsavedAnswer AskToSaveChanges(const QString& designName) = 0;
    // A number between `lowest` and `highest`, offered as `value`; nothing when cancelled.
    virtual std::optional<double> GetNumber(const QString& label, double value, double lowest,
                                            double highest) {
        (void)label, (void)value, (void)lowest, (void)highest;
        return std::nullopt;
    }
    // The size of a picture to write, in pixels, offered as `offered`; nothing when cancelled.
    virtual std::optional<QSize> GetPictureSize(QSize offered) { return offered; }
    // The keying of the time views, offered as `offered`; nothing when cancelled.
    virtual std::optional<KeyingChoice> GetKeying(const KeyingChoice& offered) { return offered; }
    // The Chebyshev ripple in dB as typed, offered as `offered`; nothing when cancelled.
    virtual std::optional<QString> GetRipple(const QString& offered) { return offered; }
    // A question answered yes or no (with `yes` as the yes button's text); no when closed.
    virtual bool AskYesNo(const QString& question, const QString& yes) {
        (void)question, (void)yes;
        return false;
    }
};

// Why a ripple typed in dB cannot be taken (not a number, or outside 0.01..3 dB); nothing when
// it can. Either decimal separator is read.
std::optional<QString> RippleProblem(const QString& typed);

// The real dialogs, owned by the window they belong to.
class QtDialogService : public DialogService {
  public:
    explicit QtDialogService(QWidget* parent) : parent_(parent) {}

    void Warning(const QString& text) override;
    void Error(const QString& text) override;
    bool PrinterSetup(QPrinter& printer) override;
    QString GetOpenFileName(const QString& dir, const QString& filter) override;
    QString GetSaveFileName(const QString& dir, const QString& filter) override;
    QString GetSaveFileNameAndFilter(const QString& dir, const QString& filter,
                                     QString* selectedFilter) override;
    UnsavedAnswer AskToSaveChanges(const QString& designName) override;
    std::optional<double> GetNumber(const QString& label, double value, double lowest,
                                    double highest) override;
    std::optional<QSize> GetPictureSize(QSize offered) override;
    std::optional<KeyingChoice> GetKeying(const KeyingChoice& offered) override;
    std::optional<QString> GetRipple(const QString& offered) override;
    bool AskYesNo(const QString& question, const QString& yes) override;

  private:
    QWidget* Asking() const;

    QWidget* parent_;
};

// The seam every window holds: it forwards to the dialogs in force, which a test may replace
// after the windows are made.
class DialogSeam : public DialogService {
  public:
    explicit DialogSeam(std::unique_ptr<DialogService> dialogs) : dialogs_(std::move(dialogs)) {}
    void Replace(std::unique_ptr<DialogService> dialogs) {
        if (dialogs) dialogs_ = std::move(dialogs);
    }

    void Warning(const QString& text) override { dialogs_->Warning(text); }
    void Error(const QString& text) override { dialogs_->Error(text); }
    bool PrinterSetup(QPrinter& printer) override { return dialogs_->PrinterSetup(printer); }
    QString GetOpenFileName(const QString& dir, const QString& filter) override {
        return dialogs_->GetOpenFileName(dir, filter);
    }
    QString GetSaveFileName(const QString& dir, const QString& filter) override {
        return dialogs_->GetSaveFileName(dir, filter);
    }
    QString GetSaveFileNameAndFilter(const QString& dir, const QString& filter,
                                     QString* selectedFilter) override {
        return dialogs_->GetSaveFileNameAndFilter(dir, filter, selectedFilter);
    }
    UnsavedAnswer AskToSaveChanges(const QString& designName) override {
        return dialogs_->AskToSaveChanges(designName);
    }
    std::optional<double> GetNumber(const QString& label, double value, double lowest,
                                    double highest) override {
        return dialogs_->GetNumber(label, value, lowest, highest);
    }
    std::optional<QSize> GetPictureSize(QSize offered) override {
        return dialogs_->GetPictureSize(offered);
    }
    std::optional<KeyingChoice> GetKeying(const KeyingChoice& offered) override {
        return dialogs_->GetKeying(offered);
    }
    std::optional<QString> GetRipple(const QString& offered) override {
        return dialogs_->GetRipple(offered);
    }
    bool AskYesNo(const QString& question, const QString& yes) override {
        return dialogs_->AskYesNo(question, yes);
    }

  private:
    std::unique_ptr<DialogService> dialogs_;
};

// The caption of the program's message boxes and dialogs: the program's name.
QString MessageBoxTitle();

// What AskToSaveChanges asks about the design file of that name.
QString UnsavedChangesQuestion(const QString& designName);

}  // namespace feldan
