// A status bar of panels with fixed widths, as the main window lays them out; the last panel
// reaches to the right edge of the bar.
#pragma once

#include <QFrame>
#include <QList>
#include <QString>
#include <vector>

class QLabel;

namespace feldan {

struct PanelLayout {
    int width;
    Qt::Alignment alignment;
};

class PanelBar : public QFrame {
    Q_OBJECT
  public:
    PanelBar(const std::vector<PanelLayout>& panels, QWidget* parent = nullptr);

    int PanelCount() const { return int(labels_.size()); }
    QString PanelText(int index) const;
    void SetPanelText(int index, const QString& text);
    QLabel* Panel(int index) const;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void LayoutPanels();

    std::vector<PanelLayout> layouts_;
    std::vector<QLabel*> labels_;
};

}  // namespace feldan
