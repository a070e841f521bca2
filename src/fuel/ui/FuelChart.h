#pragma once

#include <QPixmap>
#include <QWidget>
#include <vector>

// The gas form's statistics chart: the economy of the last ten full tanks on a small navy panel, with the
// overall figure and the figure over those ten underneath. Drawn once per change of the entries into a
// bitmap at the screen's pixel density, and copied on every repaint.
class CFuelChart : public QWidget
{
    Q_OBJECT

public:
    static constexpr int ChartWidth = 245;
    static constexpr int ChartHeight = 130;

    explicit CFuelChart(QWidget* parent = nullptr);

    // values: oldest first, at most ten; heading: "MPG", "KPL", "HPG" or "HPL".
    void setFigures(const std::vector<double>& values, double overall, double lastTen,
                    const QString& heading);

    // The texts drawn, in drawing order (the tick labels come as "%.1f").
    const QStringList& drawnTexts() const { return m_texts; }
    QSize sizeHint() const override { return {ChartWidth, ChartHeight}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void render();

    std::vector<double> m_values;
    double m_overall = 0.0;
    double m_lastTen = 0.0;
    QString m_heading = QStringLiteral("MPG");
    QPixmap m_bitmap;
    QStringList m_texts;
};
