#include "ui/panel_bar.h"

#include <QLabel>

namespace feldan {

PanelBar::PanelBar(const std::vector<PanelLayout>& panels, QWidget* parent)
    : QFrame(parent), layouts_(panels) {
    for (size_t i = 0; i < layouts_.size(); ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Panel%1").arg(i));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(layouts_[i].alignment | Qt::AlignVCenter);
        label->setIndent(3);
        label->setTextFormat(Qt::PlainText);
        labels_.push_back(label);
    }
    LayoutPanels();
}

QString PanelBar::PanelText(int index) const {
    return index >= 0 && index < PanelCount() ? labels_[index]->text() : QString();
}

void PanelBar::SetPanelText(int index, const QString& text) {
    if (index >= 0 && index < PanelCount()) labels_[index]->setText(text);
}

QLabel* PanelBar::Panel(int index) const {
    return index >= 0 && index < PanelCount() ? labels_[index] : nullptr;
}

void PanelBar::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    LayoutPanels();
}

void PanelBar::LayoutPanels() {
    int left = 0;
    for (size_t i = 0; i < labels_.size(); ++i) {
        const bool last = i + 1 == labels_.size();
        const int width = last ? std::max(0, this->width() - left) : layouts_[i].width;
        labels_[i]->setGeometry(left, 1, std::max(0, width - 2), height() - 1);
        left += layouts_[i].width;
    }
}

}  // namespace feldan
