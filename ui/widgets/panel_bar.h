// A status bar of panels with their widths at the window's default size; a wider bar shares
// the extra width by the panels' stretch factors, and the last panel always reaches to the
// right edge of the bar. A text longer than its panel ends in "…", and the whole of it is the
// panel's hint.
#pragma once

#include <QFrame>
#include <QList>
#include <QString>
#include <vector>

class QLabel;

namespace feldan {

struct PanelLayout {
    int width;  // at the window's default size
    Qt::Alignment alignment;
    int stretch;  // the share of any extra width this panel takes
};

class PanelBar : public QFrame {
    Q_OBJECT
  public:
    PanelBar(const std::vector<PanelLayout>& panels, QWidget* parent = nullptr);

    int PanelCount() const { return int(labels_.size()); }
    // The whole text, as it was set.
    QString PanelText(int index) const;
    void SetPanelText(int index, const QString& text);
    QLabel* Panel(int index) const;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void LayoutPanels();
    void ShowText(size_t index);

    std::vector<PanelLayout> layouts_;
    std::vector<QLabel*> labels_;
    std::vector<QString> texts_;
};

}  // namespace feldan
