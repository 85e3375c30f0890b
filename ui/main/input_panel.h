// The input panel at the right of the main window: the crystal's data and the filter's data,
// with their key rules and hints, the two name displays over the lists, and the authors' mark.
// It shows the document's design fields and writes every edit and choice into the document.
#pragma once

#include <QWidget>
#include <optional>

#include "ui/common/panel.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;

namespace feldan {

class DesignDocument;
class DialogService;
struct InputTexts;

class InputPanel : public Panel<QWidget> {
    Q_OBJECT
  public:
    InputPanel(DesignDocument& document, DialogService& dialogs, QWidget* parent);

    // The start state: the first entries of both lists, the start displays, the Ck field off.
    void SetStartState();
    // Draws the mark for `ratio` device pixels per pixel.
    void DrawPictures(qreal ratio);
    // "label value" of every field and both lists, as the report lists the inputs.
    QStringList InputLines() const;
    // The first control Tab reaches after the result text.
    QWidget* FirstField() const;
    QWidget* TopologyList() const;

  signals:
    // A topology or a response was chosen in its list: the window shows the design's
    // schematic, whose parts a response can change.
    void TopologyChosen(int filterType);

  protected:
    void RetranslateUi() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Where a name display's text came from, so that a new language can say it again.
    enum class NameSource { Start, List, File };

    // The constructor's parts: the two framed areas with their fields, the panel's column, and
    // the fields' connections to the document.
    void BuildCrystalData(const InputTexts& start);
    void BuildFilterData(const InputTexts& start);
    void LayOutPanel();
    void ConnectFields();
    void ChooseTopology();
    void ChooseResponse();
    void SetCkFieldEnabled(bool enabled);
    // While a set of crystals is in force the crystal fields are not what the design takes:
    // they are disabled, and the hint names the set.
    void ShowCrystalSet();
    QString TopologyDisplayText() const;
    QString ResponseDisplayText() const;
    // The fields and displays show the document's design (after a file, or a design set from
    // elsewhere); the edits this makes are not written back.
    void ShowDesign();
    void WriteTexts();
    // The widest band an exact design reaches with the crystals in force, after a calculation.
    void ShowReachableBand();
    void RetranslateExactHint();

    DesignDocument& document_;
    DialogService& dialogs_;
    QLabel* crystalDataLabel_ = nullptr;
    QLabel* foLabel_ = nullptr;
    QLabel* ldLabel_ = nullptr;
    QLabel* csLabel_ = nullptr;
    QLabel* rdLabel_ = nullptr;
    QLabel* filterDataLabel_ = nullptr;
    QLabel* topologyLabel_ = nullptr;
    QLabel* responseLabel_ = nullptr;
    QLabel* dfLabel_ = nullptr;
    QLabel* ckLabel_ = nullptr;
    QLabel* levelLabel_ = nullptr;
    QFrame* filterDataFrame_ = nullptr;
    QFrame* crystalDataFrame_ = nullptr;
    QLineEdit* foEdit_ = nullptr;            // Fo, kHz
    QLineEdit* dfEdit_ = nullptr;            // dF, Hz
    QLineEdit* ldEdit_ = nullptr;            // Ld, mH
    QLineEdit* csEdit_ = nullptr;            // Cs, pF
    QLineEdit* levelEdit_ = nullptr;         // level, dB
    QLineEdit* rdEdit_ = nullptr;            // Rd, Ohm
    QLineEdit* topologyNameEdit_ = nullptr;  // name of the topology, over topologyCombo_
    QLineEdit* responseNameEdit_ = nullptr;  // name of the response, over responseCombo_
    QCheckBox* exactBox_ = nullptr;  // "Точно по заданию": the exact way of designing
    std::optional<double> reachableDfHz_;
    static constexpr int ExactRowHeight = 22;
    static constexpr int FilterDataHeight = 145 + ExactRowHeight;
    // The row of the one coupling capacitor, shown for the QER and Cohn ladders only.
    static constexpr int CapacitorRowHeight = 22;
    QLineEdit* ckEdit_ = nullptr;  // Ck, pF
    QLabel* capacitorLabel_ = nullptr;
    QLineEdit* capacitorEdit_ = nullptr;  // the one coupling capacitor of QER and Cohn, pF
    QComboBox* topologyCombo_ = nullptr;
    QComboBox* responseCombo_ = nullptr;
    QLabel* authorsMark_ = nullptr;
    NameSource topologyNameSource_ = NameSource::Start;
    NameSource responseNameSource_ = NameSource::Start;
    qreal picturesRatio_ = 0;
};

// What the response name display shows for a ResponseType, after a choice in the list and
// after a file is opened (`ripple` as typed for the Chebyshev response of any ripple); empty
// for a value outside the list.
QString ResponseDisplayName(int responseType, const QString& ripple = QString());
// What the topology name display shows for a FilterType after a file is opened.
QString OpenedTopologyDisplayName(int filterType);

}  // namespace feldan
