// The plot of every chart of the interface: a QCustomPlot that keeps its
// height in proportion to its width, tells when it was resized, and offers
// the operator an export of what it shows as PNG or PDF from its context
// menu.
#pragma once

#include <qcustomplot.h>

#include <QString>

class XCustomPlot : public QCustomPlot {
    Q_OBJECT
public:
    explicit XCustomPlot(QWidget* parent = nullptr);

    // 600 from a width of 600 up, below that the width times the aspect.
    int heightForWidth(int w) const override;

    // Writes the plot as it is shown to `fileName`: PDF for a name ending in
    // ".pdf" (any case), PNG otherwise. False when the file could not be
    // written.
    bool exportTo(const QString& fileName);

signals:
    void Resized(QSize s);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Asks for a file name with the given filter and exports to it; a failure
    // is shown in a message box.
    void exportWithDialog(const QString& caption, const QString& filter, const QString& suffix);

    float aspect;
};
