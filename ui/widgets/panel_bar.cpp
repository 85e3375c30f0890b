#include "ui/widgets/panel_bar.h"

#include <QLabel>
#include <algorithm>

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
    texts_.resize(labels_.size());
    LayoutPanels();
}

QString PanelBar::PanelText(int index) const {
    return index >= 0 && index < PanelCount() ? texts_[size_t(index)] : QString();
}

void PanelBar::SetPanelText(int index, const QString& text) {
    if (index < 0 || index >= PanelCount()) return;
    texts_[size_t(index)] = text;
    ShowText(size_t(index));
}

void PanelBar::ShowText(size_t index) {
    QLabel* label = labels_[index];
    const QString& text = texts_[index];
    // The indent keeps a left-aligned text off the frame; a centred one has the whole width.
    const bool centred = label->alignment() & Qt::AlignHCenter;
    const int room = label->contentsRect().width() - (centred ? 0 : label->indent());
    const QString shown = label->fontMetrics().elidedText(text, Qt::ElideRight, std::max(0, room));
    label->setText(shown);
    label->setStatusTip(shown == text ? QString() : text);
}

QLabel* PanelBar::Panel(int index) const {
    return index >= 0 && index < PanelCount() ? labels_[index] : nullptr;
}

void PanelBar::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    LayoutPanels();
}

void PanelBar::LayoutPanels() {
    int total = 0;
    int stretches = 0;
    for (const PanelLayout& panel : layouts_) {
        total += panel.width;
        stretches += panel.stretch;
    }
    const int extra = std::max(0, width() - total);
    int left = 0;
    int shared = 0;
    for (size_t i = 0; i < labels_.size(); ++i) {
        const bool last = i + 1 == labels_.size();
        // Whole pixels, handed out so that the shares add up to the extra width.
        const int share = stretches > 0 ? extra * (shared + layouts_[i].stretch) / stretches -
                                              extra * shared / stretches
                                        : 0;
        shared += layouts_[i].stretch;
        const int width = last ? std::max(0, this->width() - left) : layouts_[i].width + share;
        labels_[i]->setGeometry(left, 1, std::max(0, width - 2), height() - 1);
        ShowText(i);
        left += width;
    }
}

}  // namespace feldan
