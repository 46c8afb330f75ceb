#include "flags/summaryband.h"

#include <qcustomplot.h>

QCPTextElement* SummaryBand::reserve(QCustomPlot* plot) {
    // Fixed pitch, so that the exported summary's columns line up.
    QFont font(QStringLiteral("monospace"), 8);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    auto* band = new QCPTextElement(plot, QString(), font);
    band->setMargins(QMargins(8, 2, 8, 2));
    band->setSizeConstraintRect(QCPLayoutElement::scrOuterRect);
    // The plot's lowest pixels are under the width slider: the band reaches below the summary.
    band->setMinimumSize(0, Height + SliderOverlap);
    band->setMaximumSize(QWIDGETSIZE_MAX, Height + SliderOverlap);
    band->setTextFlags(Qt::AlignLeft | Qt::AlignVCenter);
    plot->plotLayout()->addElement(1, 0, band);
    plot->plotLayout()->setRowSpacing(0);
    return band;
}
