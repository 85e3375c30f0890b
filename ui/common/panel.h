// What every panel and child window of the program repeats: it says its texts again when the
// language changes, and it knows when it is filling its own controls, so that the signals of
// those controls are not taken for the user's edits.
#pragma once

#include <QEvent>
#include <QWidget>

namespace feldan {

template <typename Base = QWidget>
class Panel : public Base {
  public:
    using Base::Base;

  protected:
    // Every text of the panel in the language in force.
    virtual void RetranslateUi() = 0;

    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::LanguageChange) RetranslateUi();
        Base::changeEvent(event);
    }

    // While one lives, the panel is filling its controls (nested fills are fine).
    class Refreshing {
      public:
        explicit Refreshing(Panel& panel) : panel_(panel), was_(panel.refreshing_) {
            panel_.refreshing_ = true;
        }
        ~Refreshing() { panel_.refreshing_ = was_; }
        Refreshing(const Refreshing&) = delete;
        Refreshing& operator=(const Refreshing&) = delete;

      private:
        Panel& panel_;
        bool was_;
    };
    bool IsRefreshing() const { return refreshing_; }

  private:
    bool refreshing_ = false;
};

}  // namespace feldan
