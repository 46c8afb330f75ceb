#ifndef SUMMARYBAND_H
#define SUMMARYBAND_H

class QCPTextElement;
class QCustomPlot;

// The band the flag page's plots keep free under their curves: on the page the run's summary lies
// over it (its lowest pixels under the width slider), and exported plots carry the summary's text
// in it.
class SummaryBand {
public:
    static constexpr int Height = 124; // the summary's, in pixels
    static constexpr int SliderOverlap = 6;

    // Adds the band, empty, under the curves of `plot`.
    static QCPTextElement* reserve(QCustomPlot* plot);
};

#endif // SUMMARYBAND_H
