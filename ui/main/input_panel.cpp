#include "ui/main/input_panel.h"

#include "ui/main/input_panel_texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStatusTipEvent>
#include <tuple>

#include "circuit/topologies.h"
#include "engine/exact_design.h"
#include "engine/ladder_design.h"
#include "ui/common/design_document.h"
#include "ui/common/dialog_service.h"
#include "ui/common/key_rules.h"
#include "ui/common/project_state.h"
#include "ui/common/ui_text.h"
#include "ui/widgets/numeric_edit.h"
#include "ui/widgets/schematic.h"
#include "ui/widgets/window_style.h"

namespace feldan {

namespace {

using namespace input_texts;

constexpr int InputPanelWidth = 165;
constexpr int HeadingHeight = 18;
constexpr int FieldHeight = 23;
// A field label's text starts this far below the top of its edit box.
constexpr int LabelDrop = 3;
// The part of a list's width that its drop-down button takes.
constexpr int ListButtonWidth = 17;

QString Translated(const char* text) {
    return QCoreApplication::translate("feldan::InputPanel", text);
}

QLabel* NamedLabel(const char* name, QWidget* parent) {
    auto* item = new QLabel(parent);
    item->setObjectName(QString::fromLatin1(name));
    return item;
}

QLabel* Heading(const char* name, QWidget* parent) {
    QLabel* item = NamedLabel(name, parent);
    QPalette blue = parent->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    item->setPalette(blue);
    item->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    item->setFixedHeight(HeadingHeight);
    return item;
}

QFrame* Bevel(const char* name, int height, QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setFixedHeight(height);
    return frame;
}

QLineEdit* NumberField(const char* name, const std::string& text, QWidget* parent, int width,
                       bool allowsMinus = false) {
    QLineEdit* item = new NumericEdit(FromUtf8(text), allowsMinus, parent);
    item->setObjectName(QString::fromLatin1(name));
    item->setFixedSize(width, FieldHeight);
    return item;
}

// A field's label stands right-aligned before it, its text a little below the box's top.
QLabel* FieldLabel(const char* name, QWidget* parent) {
    QLabel* item = NamedLabel(name, parent);
    item->setAlignment(Qt::AlignRight | Qt::AlignTop);
    item->setContentsMargins(0, LabelDrop, 0, 0);
    return item;
}

// The name boxes lie over the text part of their lists, leaving the buttons free; clicks go
// through to the list beneath, and Tab does not stop on them.
QLineEdit* NameDisplay(const char* name, QComboBox* list) {
    auto* item = new QLineEdit(list);
    item->setObjectName(QString::fromLatin1(name));
    item->setGeometry(0, 0, list->width() - ListButtonWidth, list->height());
    item->setFocusPolicy(Qt::NoFocus);
    item->setAttribute(Qt::WA_TransparentForMouseEvents);
    return item;
}

}  // namespace

QString ResponseDisplayName(int responseType, const QString& ripple) {
    if (responseType < 1 || responseType > ResponseTypeCount) return QString();
    if (responseType > int(ResponseNames.size()))
        return Translated(ResponseItems[responseType - 1]);
    QString name = Translated(ResponseNames[responseType - 1]);
    if (responseType == int(ResponseType::Chebyshev)) name = name.arg(ripple);
    return name;
}

QString OpenedTopologyDisplayName(int filterType) {
    if (filterType < 1 || filterType > FilterTypeCount) return QString();
    if (filterType > ClassicFilterTypeCount) return Translated(TopologyItems[filterType - 1]);
    return Translated(OpenedTopologyNames[filterType - 1]);
}

InputPanel::InputPanel(DesignDocument& document, DialogService& dialogs, QWidget* parent)
    : Panel(parent), document_(document), dialogs_(dialogs) {
    setObjectName(QStringLiteral("inputPanel"));
    setFixedWidth(InputPanelWidth);
    const InputTexts& start = document_.Design().texts;
    BuildCrystalData(start);
    BuildFilterData(start);
    LayOutPanel();
    ConnectFields();
    RetranslateUi();
}

void InputPanel::BuildCrystalData(const InputTexts& start) {
    crystalDataLabel_ = Heading("crystalDataLabel", this);
    crystalDataFrame_ = Bevel("crystalDataFrame", 138, this);
    foLabel_ = FieldLabel("foLabel", crystalDataFrame_);
    foEdit_ = NumberField("foEdit", start.Fo, crystalDataFrame_, 70);
    ldLabel_ = FieldLabel("ldLabel", crystalDataFrame_);
    ldEdit_ = NumberField("ldEdit", start.Ld, crystalDataFrame_, 45);
    csLabel_ = FieldLabel("csLabel", crystalDataFrame_);
    csEdit_ = NumberField("csEdit", start.Cs, crystalDataFrame_, 45);
    rdLabel_ = FieldLabel("rdLabel", crystalDataFrame_);
    rdLabel_->setFont(ArialFont(13, true));
    rdEdit_ = NumberField("rdEdit", start.Rd, crystalDataFrame_, 45);
    ckLabel_ = FieldLabel("ckLabel", crystalDataFrame_);
    ckLabel_->setFont(ArialFont(13, true));
    ckEdit_ = new QLineEdit(FromUtf8(start.Ck), crystalDataFrame_);
    ckEdit_->setObjectName(QStringLiteral("ckEdit"));
    ckEdit_->setFixedSize(45, FieldHeight);
    SetCkFieldEnabled(false);
    {
        // The edit boxes start 81 pixels into the frame, 25 pixels apart.
        auto* grid = new QGridLayout(crystalDataFrame_);
        grid->setContentsMargins(0, 7, 13, 0);
        grid->setHorizontalSpacing(2);
        grid->setVerticalSpacing(2);
        grid->setColumnStretch(0, 1);
        grid->setColumnMinimumWidth(1, 70);
        const std::pair<QLabel*, QLineEdit*> rows[] = {{foLabel_, foEdit_},
                                                       {ldLabel_, ldEdit_},
                                                       {csLabel_, csEdit_},
                                                       {rdLabel_, rdEdit_},
                                                       {ckLabel_, ckEdit_}};
        int row = 0;
        for (const auto& [label, edit] : rows) {
            grid->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignTop);
            grid->addWidget(edit, row, 1, Qt::AlignLeft | Qt::AlignTop);
            ++row;
        }
        grid->setRowStretch(row, 1);
    }
}

void InputPanel::BuildFilterData(const InputTexts& start) {
    filterDataLabel_ = Heading("filterDataLabel", this);
    // The frame's last line is the choice of the design's way.
    filterDataFrame_ = Bevel("filterDataFrame", FilterDataHeight, this);
    topologyLabel_ = NamedLabel("topologyLabel", filterDataFrame_);
    topologyLabel_->setFixedHeight(HeadingHeight);
    topologyLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    topologyCombo_ = new QComboBox(filterDataFrame_);
    topologyCombo_->setObjectName(QStringLiteral("topologyCombo"));
    topologyCombo_->setFixedSize(153, FieldHeight);
    for (int i = 0; i < FilterTypeCount; ++i)
        topologyCombo_->addItem(QString());
    responseLabel_ = NamedLabel("responseLabel", filterDataFrame_);
    responseLabel_->setFixedHeight(HeadingHeight - 1);
    responseLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    responseCombo_ = new QComboBox(filterDataFrame_);
    responseCombo_->setObjectName(QStringLiteral("responseCombo"));
    responseCombo_->setFixedSize(153, 22);
    responseCombo_->setFont(ArialFont(11, true));
    for (int i = 0; i < ResponseTypeCount; ++i)
        responseCombo_->addItem(QString());
    topologyNameEdit_ = NameDisplay("topologyNameEdit", topologyCombo_);
    responseNameEdit_ = NameDisplay("responseNameEdit", responseCombo_);
    responseNameEdit_->setFont(ArialFont(11, true));
    dfLabel_ = FieldLabel("dfLabel", filterDataFrame_);
    dfEdit_ = NumberField("dfEdit", start.Df, filterDataFrame_, 36);
    levelLabel_ = FieldLabel("levelLabel", filterDataFrame_);
    levelEdit_ = NumberField("levelEdit", start.Level, filterDataFrame_, 36, true);

    capacitorLabel_ = FieldLabel("capacitorLabel", filterDataFrame_);
    capacitorEdit_ = NumberField("capacitorEdit", "", filterDataFrame_, 36);
    // Shown for the QER and Cohn ladders only (ShowDesign).
    capacitorLabel_->hide();
    capacitorEdit_->hide();
    exactBox_ = new QCheckBox(filterDataFrame_);
    exactBox_->setObjectName(QStringLiteral("exactBox"));
    {
        // The lists and their labels 5 pixels in from the left; the field labels may use the
        // whole width.
        auto* column = new QVBoxLayout(filterDataFrame_);
        column->setContentsMargins(0, 1, 5, 0);
        column->setSpacing(0);
        auto* lists = new QVBoxLayout;
        lists->setContentsMargins(5, 0, 0, 0);
        lists->setSpacing(0);
        lists->addWidget(topologyLabel_);
        lists->addWidget(topologyCombo_);
        lists->addSpacing(3);
        lists->addWidget(responseLabel_);
        lists->addWidget(responseCombo_);
        column->addLayout(lists);
        for (const auto& [label, edit, gap] :
             {std::tuple{dfLabel_, dfEdit_, 3}, std::tuple{levelLabel_, levelEdit_, 2},
              std::tuple{capacitorLabel_, capacitorEdit_, 2}}) {
            auto* row = new QHBoxLayout;
            row->setContentsMargins(0, 0, 1, 0);
            row->setSpacing(1);
            row->addWidget(label, 1, Qt::AlignRight | Qt::AlignTop);
            row->addWidget(edit, 0, Qt::AlignTop);
            column->addSpacing(gap);
            column->addLayout(row);
        }
        column->addSpacing(3);
        column->addWidget(exactBox_, 0, Qt::AlignRight);
        column->addStretch(1);
    }
}

void InputPanel::LayOutPanel() {
    authorsMark_ = new QLabel(this);
    authorsMark_->setObjectName(QStringLiteral("authorsMark"));
    authorsMark_->setFixedSize(160, 43);
    authorsMark_->setFocusPolicy(Qt::NoFocus);

    // Headings and frames at the top, the mark at the bottom; a taller window opens the gap
    // between them.
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 2, 0, 5);
    column->setSpacing(0);
    column->addWidget(crystalDataLabel_);
    column->addWidget(crystalDataFrame_);
    column->addSpacing(4);
    column->addWidget(filterDataLabel_);
    column->addWidget(filterDataFrame_);
    column->addStretch(1);
    column->addSpacing(8);
    column->addWidget(authorsMark_, 0, Qt::AlignLeft);
}

void InputPanel::ConnectFields() {
    // Enter and the character rules of the numeric fields; every edit goes to the document.
    for (QLineEdit* field : {foEdit_, dfEdit_, ldEdit_, csEdit_, levelEdit_, rdEdit_, ckEdit_}) {
        field->installEventFilter(this);
        connect(field, &QLineEdit::textChanged, this, &InputPanel::WriteTexts);
    }
    connect(topologyCombo_, &QComboBox::activated, this, &InputPanel::ChooseTopology);
    connect(responseCombo_, &QComboBox::activated, this, &InputPanel::ChooseResponse);
    // The drop-down is a window of its own, whose hovered entries say nothing to the status
    // bar: the entry highlighted gives its hint there.
    connect(responseCombo_, &QComboBox::highlighted, this, [this](int index) {
        QStatusTipEvent tip(responseCombo_->itemData(index, Qt::StatusTipRole).toString());
        QCoreApplication::sendEvent(responseCombo_, &tip);
    });
    connect(exactBox_, &QCheckBox::toggled, this, [this](bool exact) {
        if (!IsRefreshing()) document_.SetExact(exact);
    });
    capacitorEdit_->installEventFilter(this);
    connect(capacitorEdit_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!IsRefreshing()) document_.SetCapacitor(text.toStdString());
    });
    connect(&document_, &DesignDocument::Calculated, this, &InputPanel::ShowReachableBand);
    connect(&document_, &DesignDocument::DesignChanged, this, &InputPanel::ShowDesign);
    connect(&document_.Project(), &ProjectState::Changed, this, &InputPanel::ShowCrystalSet);
    connect(&document_, &DesignDocument::Replaced, this, [this] {
        if (document_.DesignOrigin() == DesignDocument::Origin::Start) {
            SetStartState();
            return;
        }
        // The lists stay as they are; the two displays and the Ck field follow the file.
        topologyNameSource_ = NameSource::File;
        responseNameSource_ = NameSource::File;
        SetCkFieldEnabled(UsesCk(document_.Design().filterType));
        ShowDesign();
    });

    // Tab visits the crystal data, then the filter data.
    QWidget* order[] = {foEdit_,    ldEdit_,        csEdit_,        rdEdit_,
                        ckEdit_,    topologyCombo_, responseCombo_, dfEdit_,
                        levelEdit_, capacitorEdit_, exactBox_};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
}

void InputPanel::ShowCrystalSet() {
    const ProjectState& project = document_.Project();
    const bool inForce = project.UsesCrystalSet();
    QStringList names;
    if (inForce) {
        for (int k : project.Positions())
            names.append(FromUtf8(project.Crystals()[std::size_t(k)].name));
    }
    for (QLineEdit* field : {foEdit_, ldEdit_, csEdit_, rdEdit_})
        field->setEnabled(!inForce);
    crystalDataFrame_->setStatusTip(
        inForce ? tr("В расчёте набор кварцев %1 (окно «Кварцы»): поля Fo, Ld, Cs и Rd не "
                     "используются")
                      .arg(names.join(QStringLiteral(", ")))
                : QString());
}

QWidget* InputPanel::FirstField() const {
    return foEdit_;
}

QWidget* InputPanel::TopologyList() const {
    return topologyCombo_;
}

void InputPanel::SetStartState() {
    topologyCombo_->setCurrentIndex(0);
    responseCombo_->setCurrentIndex(0);
    topologyNameSource_ = NameSource::Start;
    responseNameSource_ = NameSource::Start;
    document_.SetFilterType(2);
    document_.SetResponseType(1);
    ShowDesign();
}

void InputPanel::ShowDesign() {
    const Refreshing refreshing(*this);
    const InputTexts& texts = document_.Design().texts;
    const std::pair<QLineEdit*, const std::string*> fields[] = {
        {foEdit_, &texts.Fo}, {ldEdit_, &texts.Ld}, {csEdit_, &texts.Cs},
        {rdEdit_, &texts.Rd}, {dfEdit_, &texts.Df}, {levelEdit_, &texts.Level},
        {ckEdit_, &texts.Ck}};
    for (const auto& [edit, text] : fields) {
        const QString shown = FromUtf8(*text);
        if (edit->text() != shown) edit->setText(shown);
    }
    topologyNameEdit_->setText(TopologyDisplayText());
    responseNameEdit_->setText(ResponseDisplayText());
    if (exactBox_->isChecked() != document_.Design().exact)
        exactBox_->setChecked(document_.Design().exact);
    // The capacitor field only where every coupling is one capacitor; given, it sets the band.
    const DesignFields& design = document_.Design();
    const bool equal = IsEqualCapacitorDesign(design.filterType, design.responseType);
    capacitorLabel_->setVisible(equal);
    capacitorEdit_->setVisible(equal);
    filterDataFrame_->setFixedHeight(FilterDataHeight + (equal ? CapacitorRowHeight : 0));
    const QString capacitor = FromUtf8(design.capacitor);
    if (capacitorEdit_->text() != capacitor) capacitorEdit_->setText(capacitor);
    dfEdit_->setEnabled(!(equal && !design.capacitor.empty()));
    // A QER ladder has its own response, whatever the list says.
    responseCombo_->setEnabled(!IsQer(design.filterType));
}

void InputPanel::ShowReachableBand() {
    // An exact design found its reachable band already; a classic one has it worked out here.
    const CalculationResult& last = document_.LastResult();
    if (last.exact.exact) {
        reachableDfHz_ =
            last.exact.reachableDfHz > 0 ? std::optional(last.exact.reachableDfHz) : std::nullopt;
    } else {
        const ProjectState& project = document_.Project();
        const bool set = project.UsesCrystalSet();
        const std::vector<CrystalModel> crystals =
            set ? project.CrystalsOfSet() : std::vector<CrystalModel>{};
        reachableDfHz_ = ReachableDfHz(document_.Design(), document_.Separator(), crystals,
                                       set && project.Trim());
    }
    RetranslateExactHint();
}

void InputPanel::RetranslateExactHint() {
    // Short enough for the hint panel of the window at its default size.
    QString hint = tr("Ширина на заданном уровне = dF с учётом Cs и Rd кварца");
    if (reachableDfHz_) hint += tr("; достижимо до %1 Гц").arg(PlainNumber(*reachableDfHz_, 0));
    if (exactBox_->statusTip() == hint) return;
    exactBox_->setStatusTip(hint);
    // The hint on show is the box's: the new one replaces it at once, not at the next hover.
    if (exactBox_->underMouse()) {
        QStatusTipEvent tip(hint);
        QCoreApplication::sendEvent(exactBox_, &tip);
    }
}

void InputPanel::WriteTexts() {
    if (IsRefreshing()) return;
    InputTexts texts;
    texts.Fo = foEdit_->text().toStdString();
    texts.Df = dfEdit_->text().toStdString();
    texts.Ld = ldEdit_->text().toStdString();
    texts.Cs = csEdit_->text().toStdString();
    texts.Rd = rdEdit_->text().toStdString();
    texts.Ck = ckEdit_->text().toStdString();
    texts.Level = levelEdit_->text().toStdString();
    document_.SetTexts(texts);
}

QStringList InputPanel::InputLines() const {
    const auto line = [](const QLabel* label, const QLineEdit* edit) {
        return WithLatinC(label->text()) + QLatin1Char(' ') + edit->text();
    };
    QStringList lines = {
        line(topologyLabel_, topologyNameEdit_),
        line(responseLabel_, responseNameEdit_),
        line(foLabel_, foEdit_),
        line(ldLabel_, ldEdit_),
        line(csLabel_, csEdit_),
        line(rdLabel_, rdEdit_),
        line(dfLabel_, dfEdit_),
        line(levelLabel_, levelEdit_),
        exactBox_->isChecked() ? tr("Расчёт: точно по заданию") : tr("Расчёт: классический")};
    if (ckEdit_->isEnabled()) lines.append(line(ckLabel_, ckEdit_));
    if (capacitorEdit_->isVisibleTo(this) && !capacitorEdit_->text().isEmpty())
        lines.append(line(capacitorLabel_, capacitorEdit_));
    return lines;
}

void InputPanel::DrawPictures(qreal ratio) {
    picturesRatio_ = ratio;
    authorsMark_->setPixmap(
        QPixmap::fromImage(DrawAuthorsMark(authorsMark_->width(), authorsMark_->height(), ratio)));
}

void InputPanel::SetCkFieldEnabled(bool enabled) {
    ckEdit_->setEnabled(enabled);
    QPalette colors = ckEdit_->palette();
    const QColor background = enabled ? WindowColor() : MenuColor();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colors.setColor(group, QPalette::Base, background);
    }
    ckEdit_->setPalette(colors);
}

void InputPanel::ChooseTopology() {
    const int index = topologyCombo_->currentIndex();
    if (index < 0 || index >= FilterTypeCount) return;
    topologyNameSource_ = NameSource::List;
    SetCkFieldEnabled(UsesCk(index + 1));
    document_.SetFilterType(index + 1);
    topologyNameEdit_->setText(TopologyDisplayText());
    emit TopologyChosen(index + 1);
}

void InputPanel::ChooseResponse() {
    const int index = responseCombo_->currentIndex();
    if (index < 0 || index >= ResponseTypeCount) return;
    if (index + 1 == int(ResponseType::Chebyshev)) {
        // The ripple is asked for each time the entry is chosen; a cancel keeps the response
        // as it was.
        const std::optional<QString> ripple =
            dialogs_.GetRipple(FromUtf8(document_.Design().ripple));
        // A ripple out of range is refused at once, not at the next Расчет.
        const std::optional<QString> problem = ripple ? RippleProblem(*ripple) : std::nullopt;
        if (problem) dialogs_.Error(*problem);
        if (!ripple || problem) {
            responseCombo_->setCurrentIndex(document_.Design().responseType - 1);
            return;
        }
        document_.SetRipple(ripple->toStdString());
    }
    responseNameSource_ = NameSource::List;
    document_.SetResponseType(index + 1);
    responseNameEdit_->setText(ResponseDisplayText());
    emit TopologyChosen(document_.Design().filterType);
}

QString InputPanel::TopologyDisplayText() const {
    const int type = document_.Design().filterType;
    switch (topologyNameSource_) {
        case NameSource::Start:
            return Translated(StartTopologyName);
        case NameSource::List:
            return type >= 1 && type <= FilterTypeCount ? Translated(TopologyItems[type - 1])
                                                        : QString();
        case NameSource::File:
            return OpenedTopologyDisplayName(type);
    }
    return QString();
}

QString InputPanel::ResponseDisplayText() const {
    return responseNameSource_ == NameSource::Start
               ? Translated(StartResponseName)
               : ResponseDisplayName(document_.Design().responseType,
                                     FromUtf8(document_.Design().ripple));
}

void InputPanel::RetranslateUi() {
    crystalDataLabel_->setText(tr("Данные резонатора"));
    foLabel_->setText(tr("Fo(кГц) ="));
    ldLabel_->setText(tr("Ld(мГн) ="));
    csLabel_->setText(tr("Сs(пФ) ="));
    rdLabel_->setText(tr("Rd(Ом) ="));
    ckLabel_->setText(tr("Сk(пФ) ="));
    filterDataLabel_->setText(tr("Данные фильтра"));
    topologyLabel_->setText(tr("Порядок фильтра :"));
    responseLabel_->setText(tr("Тип АЧХ :"));
    dfLabel_->setText(tr("Полоса dF (Гц) ="));
    levelLabel_->setText(tr("Уровень АЧХ (дБ) ="));
    foEdit_->setStatusTip(tr("Частота кварца"));
    ldEdit_->setStatusTip(tr("Индуктивность кварца"));
    csEdit_->setStatusTip(tr("Статическая емкость кварца"));
    rdEdit_->setStatusTip(tr("Активное сопротивление кварца"));
    ckEdit_->setStatusTip(tr("Емкость коррекции"));
    capacitorLabel_->setText(tr("C(пФ) ="));
    capacitorEdit_->setStatusTip(
        tr("Ёмкость всех конденсаторов связи: расчёт строится вокруг неё, полоса выходит "
           "своя (поле dF не действует); пусто — расчёт по dF"));
    for (int i = 0; i < FilterTypeCount; ++i)
        topologyCombo_->setItemText(i, Translated(TopologyItems[i]));
    for (int i = 0; i < ResponseTypeCount; ++i) {
        responseCombo_->setItemText(i, Translated(ResponseItems[i]));
        responseCombo_->setItemData(i, Translated(ResponseHints[i]), Qt::StatusTipRole);
    }

    topologyNameEdit_->setText(TopologyDisplayText());
    responseNameEdit_->setText(ResponseDisplayText());
    exactBox_->setText(tr("&Точно по заданию"));
    RetranslateExactHint();
    ShowCrystalSet();
    // The mark's words are drawn into its picture.
    if (picturesRatio_ > 0) DrawPictures(picturesRatio_);
}

bool InputPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    const auto& key = *static_cast<QKeyEvent*>(event);
    // A key held with Alt (or the Windows key) is a command, never text: Alt+letter that no menu
    // takes would otherwise type its letter.
    if ((key.modifiers() & (Qt::AltModifier | Qt::MetaModifier)) && !key.text().isEmpty()) {
        return true;
    }
    if (watched == ckEdit_) return false;

    const std::optional<char16_t> typed = TypedCharacter(key);
    if (!typed) return false;
    if (watched == levelEdit_) return FilterLevelKey(*typed) == KeyVerdict::Suppress;
    switch (FilterNumberKey(*typed)) {
        case KeyVerdict::Pass:
            return false;
        case KeyVerdict::Suppress:
            return true;
        case KeyVerdict::NextField:
            break;
    }
    // Enter walks Fo, Ld, Cs, Rd, dF and ends at the level.
    const std::pair<QLineEdit*, QLineEdit*> chain[] = {{foEdit_, ldEdit_},
                                                       {ldEdit_, csEdit_},
                                                       {csEdit_, rdEdit_},
                                                       {rdEdit_, dfEdit_},
                                                       {dfEdit_, levelEdit_}};
    for (const auto& [from, to] : chain) {
        if (watched == from) {
            to->setFocus(Qt::OtherFocusReason);
            break;
        }
    }
    return true;
}

}  // namespace feldan
