#include "resultsdialog.h"

#include "logging.h"
#include "resultscsv.h"
#include "resultsstore.h"
#include "runloading.h"
#include "runreport.h"
#include "runsummary.h"
#include "unitidentity.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const char* const Headers[] = {"Started",     "Ended",   "Serial number", "Unit ID",
                               "Station",     "Records", "BLER max (/s)", "E32",
                               "CD standard", "Limits",  "Flag file"};

QString localTime(const QDateTime& t) {
    return t.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// When the run ended; "unexpectedly" when its program ended first (its totals are those last
// written); empty while it goes on.
QString ending(const RunResult& r) {
    if (r.finished)
        return localTime(r.endedAt);
    return r.ended;
}

QStringList cells(const RunResult& r) {
    return {localTime(r.startedAt),
            ending(r),
            r.serialNumber,
            r.unitId,
            r.station,
            QString::number(r.records),
            QString::number(r.blerMax10s, 'f', 1),
            QString::number(r.e32Total),
            r.verdictStandard,
            r.verdictLimits,
            QDir::toNativeSeparators(r.flagFile)};
}

// The unit as the row keeps it: the board's numbers when it named itself, else the typed ID.
UnitIdentity unitOf(const RunResult& r) {
    if (r.serialNumber.isEmpty())
        return UnitIdentity::typedId(r.unitId);
    UnitIdentity unit;
    unit.fromBoard = true;
    unit.serialNumber = r.serialNumber.toUShort();
    unit.customerId = r.customerId.toUShort();
    unit.firmware = r.firmware.toInt();
    return unit;
}

template <typename T> T* named(T* widget, const char* name, QWidget* parent) {
    widget->setParent(parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

ResultsDialog::ResultsDialog(ResultsStore* store, const Parts& parts, QWidget* parent)
    : QDialog(parent), p(parts) {
    setObjectName(QStringLiteral("ResultsDialog"));
    setWindowTitle(QStringLiteral("Results"));
    chooseSaveFile = [](QWidget* owner, const QString& caption, const QString& path,
                        const QString& filter) {
        return QFileDialog::getSaveFileName(owner, caption, path, filter);
    };
    buildWidgets();
    connect(unit, &QLineEdit::textChanged, this, &ResultsDialog::refresh);
    connect(station, &QLineEdit::textChanged, this, &ResultsDialog::refresh);
    for (QCheckBox* box : {fromOn, toOn})
        connect(box, &QCheckBox::toggled, this, &ResultsDialog::refresh);
    for (QDateEdit* date : {from, to})
        connect(date, &QDateEdit::dateChanged, this, &ResultsDialog::refresh);
    connect(verdict, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ResultsDialog::refresh);
    connect(table, &QTableWidget::itemSelectionChanged, this, &ResultsDialog::selectionChanged);
    connect(reviewButton, &QPushButton::clicked, this, &ResultsDialog::reviewChosen);
    connect(exportButton, &QPushButton::clicked, this, &ResultsDialog::exportChosen);
    connect(reportButton, &QPushButton::clicked, this, &ResultsDialog::reportChosen);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    setStore(store);
}

void ResultsDialog::buildWidgets() {
    auto* filters = new QHBoxLayout;
    auto addLabelled = [this, filters](const QString& text, QWidget* field) {
        auto* label = new QLabel(text, this);
        label->setBuddy(field);
        filters->addWidget(label);
        filters->addWidget(field);
        field->setAccessibleName(QString(text).remove('&').remove(':'));
    };
    unit = named(new QLineEdit, "lineResultsUnit", this);
    addLabelled(QStringLiteral("Serial number or unit ID:"), unit);
    fromOn = named(new QCheckBox(QStringLiteral("From")), "checkResultsFrom", this);
    from = named(new QDateEdit(QDate::currentDate().addMonths(-1)), "dateResultsFrom", this);
    toOn = named(new QCheckBox(QStringLiteral("To")), "checkResultsTo", this);
    to = named(new QDateEdit(QDate::currentDate()), "dateResultsTo", this);
    for (QDateEdit* date : {from, to}) {
        date->setCalendarPopup(true);
        date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    }
    from->setAccessibleName(QStringLiteral("Started from"));
    to->setAccessibleName(QStringLiteral("Started to"));
    for (QWidget* w : std::initializer_list<QWidget*>{fromOn, from, toOn, to})
        filters->addWidget(w);
    verdict = named(new QComboBox, "comboResultsVerdict", this);
    verdict->addItems(
        {QStringLiteral("Any verdict"), QStringLiteral("PASS"), QStringLiteral("FAIL")});
    verdict->setAccessibleName(QStringLiteral("Verdict"));
    filters->addWidget(verdict);
    station = named(new QLineEdit, "lineResultsStation", this);
    addLabelled(QStringLiteral("Station:"), station);

    const int columns = int(sizeof(Headers) / sizeof(Headers[0]));
    table = named(new QTableWidget(0, columns), "tableResults", this);
    QStringList headers;
    for (const char* h : Headers)
        headers << QString::fromLatin1(h);
    table->setHorizontalHeaderLabels(headers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->setAccessibleName(QStringLiteral("Runs"));

    message = named(new QLabel, "labelResultsMessage", this);
    message->setWordWrap(true);
    reviewButton =
        named(new QPushButton(QStringLiteral("Open for review")), "buttonResultsReview", this);
    exportButton =
        named(new QPushButton(QStringLiteral("Export CSV...")), "buttonResultsExport", this);
    reportButton =
        named(new QPushButton(QStringLiteral("Report PDF...")), "buttonResultsReport", this);
    closeButton = named(new QPushButton(QStringLiteral("Close")), "buttonResultsClose", this);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {reviewButton, exportButton, reportButton}) {
        b->setAccessibleName(b->text());
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    buttons->addWidget(closeButton);
    closeButton->setAccessibleName(closeButton->text());

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(table, 1);
    layout->addWidget(message);
    layout->addLayout(buttons);
    resize(880, 520);
    selectionChanged();
}

void ResultsDialog::setStore(ResultsStore* newStore) {
    disconnect(answers);
    store = newStore;
    if (store)
        answers = connect(store, &ResultsStore::queryDone, this, &ResultsDialog::showRuns);
    refresh();
}

ResultsFilter ResultsDialog::filter() const {
    ResultsFilter f;
    f.unit = unit->text().trimmed();
    if (fromOn->isChecked())
        f.from = QDateTime(from->date(), QTime(0, 0)).toUTC();
    if (toOn->isChecked())
        f.to = QDateTime(to->date().addDays(1), QTime(0, 0)).addSecs(-1).toUTC();
    f.verdict = ResultsFilter::Verdict(verdict->currentIndex());
    f.station = station->text().trimmed();
    f.limit = MaxRuns;
    return f;
}

void ResultsDialog::refresh() {
    from->setEnabled(fromOn->isChecked());
    to->setEnabled(toOn->isChecked());
    if (!store) {
        tell(QStringLiteral("No results database."), true);
        return;
    }
    latestQuery = store->query(filter());
}

void ResultsDialog::showRuns(int id, const QVector<RunResult>& found, const QString& error) {
    if (id != latestQuery)
        return;
    runs = found;
    table->setRowCount(0);
    table->setRowCount(runs.size());
    for (int row = 0; row < runs.size(); ++row) {
        const QStringList texts = cells(runs[row]);
        for (int column = 0; column < texts.size(); ++column)
            table->setItem(row, column, new QTableWidgetItem(texts[column]));
    }
    if (!error.isEmpty())
        tell(QStringLiteral("The results database cannot be read (%1); the runs listed wait on "
                            "this bench.")
                 .arg(error),
             true);
    else if (runs.size() >= MaxRuns)
        tell(QStringLiteral("The newest %1 runs.").arg(MaxRuns), false);
    else
        tell(runs.size() == 1 ? QStringLiteral("1 run.")
                              : QStringLiteral("%1 runs.").arg(runs.size()),
             false);
    selectionChanged();
    emit runsListed();
}

void ResultsDialog::selectionChanged() {
    const bool one = single() != nullptr;
    reviewButton->setEnabled(one);
    reportButton->setEnabled(one);
    exportButton->setEnabled(!runs.isEmpty());
}

const RunResult* ResultsDialog::single() const {
    const QModelIndexList rows = table->selectionModel()->selectedRows();
    if (rows.size() != 1 || rows.first().row() >= runs.size())
        return nullptr;
    return &runs[rows.first().row()];
}

QVector<RunResult> ResultsDialog::chosenRuns() const {
    const QModelIndexList rows = table->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return runs;
    QVector<int> indexes;
    for (const QModelIndex& index : rows)
        indexes << index.row();
    std::sort(indexes.begin(), indexes.end());
    QVector<RunResult> chosen;
    for (int row : indexes)
        if (row < runs.size())
            chosen << runs[row];
    return chosen;
}

void ResultsDialog::tell(const QString& text, bool failure) {
    message->setText(text);
    message->setAccessibleName(text);
    message->setStyleSheet(failure ? QStringLiteral("QLabel {color: red}") : QString());
}

QString ResultsDialog::reachableFlagFile(const char* purpose) {
    const RunResult* run = single();
    if (!run)
        return QString();
    if (run->flagFile.isEmpty()) {
        tell(QStringLiteral("This run has no flag file to %1.").arg(QLatin1String(purpose)), true);
        return QString();
    }
    const QFileInfo file(run->flagFile);
    if (!file.isFile() || !file.isReadable()) {
        tell(QStringLiteral("The flag file of this run cannot be reached from this bench: %1")
                 .arg(QDir::toNativeSeparators(run->flagFile)),
             true);
        return QString();
    }
    return run->flagFile;
}

void ResultsDialog::reviewChosen() {
    const QString path = reachableFlagFile("review");
    if (!path.isEmpty() && p.review && p.review(path))
        close();
}

bool ResultsDialog::exportCsv(const QString& path) {
    QSaveFile file(path);
    const QVector<RunResult> chosen = chosenRuns();
    const bool ok =
        file.open(QIODevice::WriteOnly) && ResultsCsv::write(file, chosen) && file.commit();
    if (ok)
        tell(QStringLiteral("%1 runs exported to %2")
                 .arg(chosen.size())
                 .arg(QDir::toNativeSeparators(path)),
             false);
    else
        tell(QStringLiteral("%1 cannot be written: %2")
                 .arg(QDir::toNativeSeparators(path), file.errorString()),
             true);
    return ok;
}

QString ResultsDialog::suggestedPath(const QString& name) const {
    return QDir(p.directory ? p.directory() : QDir::homePath()).absoluteFilePath(name);
}

void ResultsDialog::exportChosen() {
    const QString suggested = suggestedPath(
        QStringLiteral("runs-") + QDate::currentDate().toString(QStringLiteral("yyyyMMdd.csv")));
    const QString path = chooseSaveFile(this, QStringLiteral("Export CSV"), suggested,
                                        QStringLiteral("CSV files (*.csv)"));
    if (!path.isEmpty())
        exportCsv(path);
}

bool ResultsDialog::writeReport(const RunResult& run, const QString& path) {
    RunFileLoader::Result read;
    RunSummary summary;
    if (p.limits)
        summary.setLimits(p.limits());
    if (!RunLoading::load(run.flagFile, this, &read, &summary)) {
        if (!read.error.isEmpty())
            tell(QStringLiteral("%1 cannot be read: %2")
                     .arg(QDir::toNativeSeparators(run.flagFile), read.error),
                 true);
        return false;
    }
    RunReport::Run report;
    report.unit = unitOf(run);
    report.started = run.startedAt.toLocalTime();
    report.store = &read.run;
    report.summary = &summary;
    report.flagFile = run.flagFile;
    if (!RunReport::write(path, report, p.livePlot)) {
        tell(QStringLiteral("%1 cannot be written.").arg(QDir::toNativeSeparators(path)), true);
        return false;
    }
    tell(QStringLiteral("Report written to %1").arg(QDir::toNativeSeparators(path)), false);
    return true;
}

void ResultsDialog::reportChosen() {
    if (reachableFlagFile("report").isEmpty())
        return;
    const RunResult run = *single();
    const QString suggested =
        suggestedPath(QFileInfo(run.flagFile).completeBaseName() + QStringLiteral("-report.pdf"));
    const QString path = chooseSaveFile(this, QStringLiteral("Report PDF"), suggested,
                                        QStringLiteral("PDF files (*.pdf)"));
    if (!path.isEmpty())
        writeReport(run, path);
}
