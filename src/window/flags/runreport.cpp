#include "flags/runreport.h"

#include "flags/flaginterval.h"
#include "flags/runseries.h"
#include "flags/runstore.h"
#include "flags/runsummary.h"
#include "flags/wholerunplot.h"

#include <QDir>
#include <QFile>
#include <QPdfWriter>

#include <qcustomplot.h>

#include <algorithm>

namespace {

// The page is laid out in points (72 to the inch), top to bottom.
constexpr int Resolution = 72;
constexpr double MarginMm = 15.0;
constexpr int PlotHeight = 270;
constexpr int CaptionWidth = 110;
constexpr int TableHeadWidth = 70;

QColor verdictColour(bool pass, bool fail) {
    return fail ? QColor(Qt::red) : pass ? QColor(Qt::darkGreen) : QColor(Qt::black);
}

// Writes lines down the page.
struct Sheet {
    QCPPainter& painter;
    int width;
    int y = 0;

    void font(int points, bool bold = false) {
        QFont f(QStringLiteral("sans-serif"), points);
        f.setStyleHint(QFont::SansSerif);
        f.setBold(bold);
        painter.setFont(f);
    }
    // `text` from `x` to the right edge, wrapped; the cursor goes below it.
    void text(int x, const QString& text, const QColor& colour = Qt::black) {
        painter.setPen(colour);
        const QRect room(x, y, width - x, 1000);
        QRect used;
        painter.drawText(room, Qt::TextWrapAnywhere, text, &used);
        y += std::max(used.height(), painter.fontMetrics().height());
    }
    void heading(const QString& title) {
        y += 8;
        font(11, true);
        text(0, title);
        font(9);
    }
    // A caption and its value in two columns.
    void field(const QString& caption, const QString& value, const QColor& colour = Qt::black) {
        painter.setPen(Qt::black);
        painter.drawText(QRect(0, y, CaptionWidth, 100), 0, caption);
        text(CaptionWidth, value, colour);
    }
    // A table row: its head, then one cell per flag.
    void row(const QString& head, const QStringList& cells) {
        font(8);
        painter.setPen(Qt::black);
        const int cellWidth = (width - TableHeadWidth) / RunSummary::Flags;
        painter.drawText(QRect(0, y, TableHeadWidth, 100), 0, head);
        for (int k = 0; k < cells.size(); ++k)
            painter.drawText(QRect(TableHeadWidth + k * cellWidth, y, cellWidth, 100), 0, cells[k]);
        y += painter.fontMetrics().height() + 2;
        font(9);
    }
};

// The whole run drawn at the sheet's cursor in the look's unit, scaled to its highest rate (and
// per second to the CD standard's limit), with the limit lines and the legend under the curves.
void drawPlot(Sheet& sheet, const RunReport::Run& run, QCustomPlot* livePlot,
              const RunReport::Look& look) {
    QCustomPlot plot;
    WholeRunPlot view(&plot, livePlot);
    // The legend in a row of its own under the axes, off the curves.
    plot.axisRect()->insetLayout()->take(plot.legend);
    plot.plotLayout()->addElement(1, 0, plot.legend);
    plot.plotLayout()->setRowStretchFactor(1, 0.001);
    plot.legend->setWrap(3);
    plot.legend->setFillOrder(QCPLayoutGrid::foColumnsFirst, true);
    plot.legend->setBorderPen(Qt::NoPen);
    // Laid out for the page (it is never shown), so that the curves get a column per point.
    plot.setViewport(QRect(0, 0, sheet.width, PlotHeight));
    plot.replot();
    FlagScale scale = look.scale;
    scale.automatic = true; // no marks on an edge: the axis reaches above every point
    view.setScale(scale);
    view.showRun(run.store, run.series);
    view.setReference(look.reference, look.referenceName);

    const RunSummary& s = *run.summary;
    double top = 0.0;
    for (int k = 0; k < RunSummary::Flags; ++k)
        top = std::max(top, scale.fromPercent(s.flag(k).maxRate));
    const bool perSecond = scale.unit == FlagScale::Unit::PerSecond;
    if (perSecond)
        top = std::max(top, RunSummary::BlerLimit);
    for (int k = 0; k < RunSummary::Flags; ++k) {
        const auto& limit = s.limits().percent[size_t(k)];
        if (!limit)
            continue;
        top = std::max(top, scale.fromPercent(*limit));
        auto* line = new QCPItemStraightLine(&plot);
        QPen pen(livePlot->graph(k)->pen().color());
        pen.setStyle(Qt::DashLine);
        line->setPen(pen);
        line->point1->setCoords(0.0, scale.fromPercent(*limit));
        line->point2->setCoords(1.0, scale.fromPercent(*limit));
    }
    plot.yAxis->setRange(0.0, scale.automaticTop(top));
    if (perSecond) {
        auto* line = new QCPItemStraightLine(&plot);
        line->setPen(QPen(Qt::darkRed, 1.5, Qt::DashDotLine));
        line->point1->setCoords(0.0, RunSummary::BlerLimit);
        line->point2->setCoords(1.0, RunSummary::BlerLimit);
        auto* label = new QCPItemText(&plot);
        label->setPositionAlignment(Qt::AlignRight | Qt::AlignBottom);
        label->position->setTypeX(QCPItemPosition::ptAxisRectRatio);
        label->position->setCoords(0.99, RunSummary::BlerLimit);
        label->setText(QStringLiteral("BLER limit 220 per second"));
        label->setColor(Qt::darkRed);
    }
    if (view.alongDisc()) {
        double first = qInf(), last = -qInf();
        for (int i = 0; i < run.series->size(); ++i) {
            const int at = run.series->at(i).position.discSecond;
            if (at >= 0) {
                first = std::min(first, double(at));
                last = std::max(last, at + 1.0);
            }
        }
        plot.xAxis->setRange(first, std::max(last, first + 1.0));
    } else {
        const RunStore& store = *run.store;
        const double end =
            store.isEmpty()
                ? 0.0
                : (store.lastMs() + FlagInterval::milliseconds(store.setting(store.size() - 1))) /
                      1000.0;
        plot.xAxis->setRange(0.0, std::max(end, 1.0));
    }
    sheet.painter.save();
    sheet.painter.translate(0, sheet.y);
    plot.toPainter(&sheet.painter, sheet.width, PlotHeight);
    sheet.painter.restore();
    sheet.y += PlotHeight;
}

} // namespace

bool RunReport::write(const QString& path, const Run& run, QCustomPlot* livePlot,
                      const Look& look) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || !write(file, run, livePlot, look))
        return false;
    file.close();
    return file.error() == QFileDevice::NoError;
}

bool RunReport::write(const QString& path, const Run& run, QCustomPlot* livePlot) {
    return write(path, run, livePlot, Look());
}

bool RunReport::write(QIODevice& out, const Run& run, QCustomPlot* livePlot, const Look& look) {
    if (!run.store || !run.summary)
        return false;
    const RunSummary& s = *run.summary;
    {
        QPdfWriter writer(&out);
        writer.setResolution(Resolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(MarginMm, MarginMm, MarginMm, MarginMm),
                                         QPageLayout::Millimeter));
        writer.setTitle(QStringLiteral("Flag run report, ") + run.unit.text());
        writer.setCreator(QStringLiteral("DK-61 PC-Tool"));
        QCPPainter painter;
        if (!painter.begin(&writer))
            return false;
        Sheet sheet{painter, writer.width()};

        sheet.font(15, true);
        sheet.text(0, QStringLiteral("Flag run report: unit ") + run.unit.unit());
        sheet.heading(QStringLiteral("Run"));
        for (const auto& field : run.unit.fields())
            sheet.field(field.first, field.second);
        const QString dateTime = QStringLiteral("yyyy-MM-dd HH:mm:ss");
        sheet.field(QStringLiteral("Started"), run.started.toString(dateTime));
        if (!run.store->isEmpty())
            sheet.field(QStringLiteral("Last record"),
                        run.started.addMSecs(run.store->lastMs()).toString(dateTime));
        sheet.field(QStringLiteral("Time measured"),
                    QStringLiteral("%1 (%2 records)").arg(s.lengthText(), s.recordsText()));
        sheet.field(QStringLiteral("Interval"), s.intervalsText());
        sheet.field(QStringLiteral("Flag file"), run.flagFile.isEmpty()
                                                     ? QStringLiteral("none")
                                                     : QDir::toNativeSeparators(run.flagFile));
        if (!run.readFrom.isEmpty())
            sheet.field(QStringLiteral("Curve"),
                        QStringLiteral("per second of measured time, from ") + run.readFrom);
        sheet.field(QStringLiteral("Plot"),
                    look.scale.unit == FlagScale::Unit::PerSecond
                        ? QStringLiteral("flags per second (C1 per second is the BLER)")
                        : QStringLiteral("flags in % of the frames counted"));
        if (look.reference)
            sheet.field(QStringLiteral("Reference"),
                        look.referenceName + QStringLiteral(" (grey)"));
        sheet.y += 6;
        drawPlot(sheet, run, livePlot, look);

        sheet.heading(QStringLiteral("Summary"));
        QStringList names, totals, maxima, averages, limits, over;
        for (int k = 0; k < RunSummary::Flags; ++k) {
            const auto& limit = s.limits().percent[size_t(k)];
            names << QString::fromLatin1(RunSummary::FlagNames[k]);
            totals << s.totalText(k);
            maxima << s.maximumText(k);
            averages << s.averageText(k);
            limits << (limit ? QString::number(*limit) + QStringLiteral(" %")
                             : QStringLiteral("none"));
            over << s.overLimitText(k);
        }
        sheet.row(QString(), names);
        sheet.row(QStringLiteral("Total"), totals);
        sheet.row(QStringLiteral("Maximum"), maxima);
        sheet.row(QStringLiteral("Average"), averages);
        sheet.row(QStringLiteral("Limit"), limits);
        sheet.row(QStringLiteral("Over limit"), over);
        sheet.field(QStringLiteral("Troubled records"),
                    s.troubledText() +
                        QStringLiteral(" with uncorrectable or interpolated frames"));

        sheet.heading(QStringLiteral("Verdicts"));
        sheet.field(QStringLiteral("Operator's limits"), s.verdictText(),
                    verdictColour(s.verdict() == RunSummary::Verdict::Pass,
                                  s.verdict() == RunSummary::Verdict::Fail));
        sheet.field(QStringLiteral("CD standard"), s.standardText(),
                    verdictColour(s.standard() == RunSummary::Standard::Pass,
                                  s.standard() == RunSummary::Standard::Fail));
        sheet.field(QStringLiteral("Max. BLER"),
                    s.blerText() + QStringLiteral(" (at most %1/s over %2 s)")
                                       .arg(RunSummary::BlerLimit)
                                       .arg(RunSummary::BlerWindowMs / 1000));
        sheet.field(QStringLiteral("E32"), s.e32Text() + QStringLiteral(" (none allowed)"));
        if (!painter.end())
            return false;
    }
    return true;
}
