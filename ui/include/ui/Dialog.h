// The plot-limits dialog: the operator types fixed axis limits for a plot,
// which receives them through setManualScale when OK is pressed.
#pragma once

#include <QDialog>

namespace Ui {
class Dialog;
}

class Dialog : public QDialog {
    Q_OBJECT
public:
    explicit Dialog(QWidget* parent = nullptr);
    ~Dialog() override;

    // Fills the boxes with the plot's current limits; values outside the
    // boxes' ranges are clamped by them.
    void setLimits(int xMin, int xMax, double yMin, double yMax);

signals:
    // x minimum, x maximum, y minimum, y maximum, as entered (a minimum above
    // its maximum included).
    void setManualScale(double, double, double, double);

private slots:
    void on_pushButtonOk_clicked();
    void on_pushButtonCancel_clicked();

private:
    Ui::Dialog* ui;
    double acceptedXMin = 0.0;
    double acceptedXMax = 0.0;
    double acceptedYMin = 0.0;
    double acceptedYMax = 0.0;
};
