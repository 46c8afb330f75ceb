#include "flags/resultsdialog.h"

#include "common/plaintext.h"
#include "flags/unitidentity.h"
#include "resultscsv.h"
#include "resultsstore.h"
#include "settings/programfolders.h"
#include "shell/logging.h"

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
#include <QScrollBar>
#include <QSet>
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

// What the rows sort by, where a column holds numbers or times (the others sort by their text).
const int SortKey = Qt::UserRole + 1;
// The index in the listed runs, on each row's first cell.
const int RunIndex = Qt::UserRole;

class RunCell : public QTableWidgetItem {
public:
    using QTableWidgetItem::QTableWidgetItem;
    bool operator<(const QTableWidgetItem& other) const override {
        const QVariant a = data(SortKey);
        const QVariant b = other.data(SortKey);
        if (a.isValid() && b.isValid())
            return a.toDouble() < b.toDouble();
        return text().compare(other.text(), Qt::CaseInsensitive) < 0;
    }
};

QVector<QVariant> sortKeys(const RunResult& r) {
    bool numbered = false;
    const qulonglong serial = r.serialNumber.toULongLong(&numbered);
    return {double(r.startedAt.toMSecsSinceEpoch()),
            r.finished ? QVariant(double(r.endedAt.toMSecsSinceEpoch())) : QVariant(),
            numbered ? QVariant(double(serial)) : QVariant(),
            QVariant(),
            QVariant(),
            double(r.records),
            r.blerMax10s,
            double(r.e32Total),
            QVariant(),
            QVariant(),
            QVariant()};
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
    connect(refreshButton, &QPushButton::clicked, this, &ResultsDialog::refresh);
    follow = new QTimer(this);
    follow->setSingleShot(true);
    follow->setInterval(FollowDelayMs);
    connect(follow, &QTimer::timeout, this, &ResultsDialog::refresh);
    connect(reviewButton, &QPushButton::clicked, this, &ResultsDialog::reviewChosen);
    connect(exportButton, &QPushButton::clicked, this, &ResultsDialog::exportChosen);
    connect(reportButton, &QPushButton::clicked, this, &ResultsDialog::reportChosen);
    connect(referenceButton, &QPushButton::clicked, this, &ResultsDialog::referenceChosen);
    connect(clearReferenceButton, &QPushButton::clicked, this, &ResultsDialog::clearReference);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    setStore(store);
    PlainText::labels(this);
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
    refreshButton = named(new QPushButton(QStringLiteral("Refresh")), "buttonResultsRefresh", this);
    refreshButton->setAccessibleName(refreshButton->text());
    filters->addWidget(refreshButton);

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
    // Newest first until the operator clicks another header.
    table->horizontalHeader()->setSortIndicator(0, Qt::DescendingOrder);
    table->setSortingEnabled(true);
    // Every head whole, and the start's date and time in full.
    table->resizeColumnsToContents();
    table->setColumnWidth(
        0, table->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00 00:00:00")) +
               4 * table->style()->pixelMetric(QStyle::PM_HeaderMargin) + 8);

    message = named(new QLabel, "labelResultsMessage", this);
    message->setWordWrap(true);
    reviewButton =
        named(new QPushButton(QStringLiteral("Open for review")), "buttonResultsReview", this);
    exportButton =
        named(new QPushButton(QStringLiteral("Export CSV...")), "buttonResultsExport", this);
    reportButton =
        named(new QPushButton(QStringLiteral("Report PDF...")), "buttonResultsReport", this);
    referenceButton =
        named(new QPushButton(QStringLiteral("Set as reference")), "buttonResultsReference", this);
    clearReferenceButton = named(new QPushButton(QStringLiteral("Clear reference")),
                                 "buttonResultsClearReference", this);
    closeButton = named(new QPushButton(QStringLiteral("Close")), "buttonResultsClose", this);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b :
         {reviewButton, exportButton, reportButton, referenceButton, clearReferenceButton}) {
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
    disconnect(seriesAnswers);
    disconnect(written);
    pending.clear();
    store = newStore;
    if (store) {
        answers = connect(store, &ResultsStore::queryDone, this, &ResultsDialog::showRuns);
        seriesAnswers = connect(store, &ResultsStore::seriesDone, this, &ResultsDialog::seriesRead);
        // Listed again while open; when hidden, once it shows again.
        written = connect(store, &ResultsStore::runsWritten, this, [this] {
            if (!follow->isActive())
                follow->start();
        });
    }
    refresh();
}

void ResultsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (stale)
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
    follow->stop();
    // Hidden: listed again once shown (the first list is asked for at once).
    stale = !isVisible() && latestQuery > 0;
    if (stale)
        return;
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
    // The rows selected stay selected, and the list where it was scrolled to.
    QSet<QString> selected;
    for (int index : selectedRuns())
        selected.insert(runs[index].runId);
    const int scrolled = table->verticalScrollBar()->value();
    runs = found;
    table->setSortingEnabled(false);
    table->setRowCount(0);
    table->setRowCount(runs.size());
    for (int row = 0; row < runs.size(); ++row) {
        const QStringList texts = cells(runs[row]);
        const QVector<QVariant> keys = sortKeys(runs[row]);
        Q_ASSERT(keys.size() == texts.size());
        for (int column = 0; column < texts.size(); ++column) {
            auto* cell = new RunCell(texts[column]);
            if (column < keys.size() && keys[column].isValid())
                cell->setData(SortKey, keys[column]);
            if (column == 0)
                cell->setData(RunIndex, row);
            table->setItem(row, column, cell);
        }
    }
    table->setSortingEnabled(true);
    QItemSelection again;
    for (int row = 0; row < table->rowCount() && !selected.isEmpty(); ++row) {
        if (selected.contains(runs[table->item(row, 0)->data(RunIndex).toInt()].runId))
            again.select(table->model()->index(row, 0), table->model()->index(row, 0));
    }
    table->selectionModel()->select(again, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    table->verticalScrollBar()->setValue(scrolled);
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
    referenceButton->setEnabled(one);
    exportButton->setEnabled(!runs.isEmpty());
}

QVector<int> ResultsDialog::selectedRuns() const {
    QModelIndexList rows = table->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QVector<int> indexes;
    for (const QModelIndex& index : rows) {
        const QTableWidgetItem* first = table->item(index.row(), 0);
        const int run = first ? first->data(RunIndex).toInt() : -1;
        if (run >= 0 && run < runs.size())
            indexes << run;
    }
    return indexes;
}

const RunResult* ResultsDialog::single() const {
    const QVector<int> indexes = selectedRuns();
    return indexes.size() == 1 ? &runs[indexes.first()] : nullptr;
}

QVector<RunResult> ResultsDialog::chosenRuns() const {
    const QVector<int> indexes = selectedRuns();
    if (indexes.isEmpty())
        return runs;
    QVector<RunResult> chosen;
    for (int index : indexes)
        chosen << runs[index];
    return chosen;
}

void ResultsDialog::tell(const QString& text, bool failure) {
    message->setText(text);
    message->setAccessibleName(text);
    message->setStyleSheet(failure ? QStringLiteral("QLabel {color: red}") : QString());
}

bool ResultsDialog::flagFileReachable(const RunResult& run, const char* purpose) {
    if (run.flagFile.isEmpty()) {
        tell(QStringLiteral("This run has no curve in the results database and no flag file to "
                            "%1.")
                 .arg(QLatin1String(purpose)),
             true);
        return false;
    }
    const QFileInfo file(run.flagFile);
    if (!file.isFile() || !file.isReadable()) {
        tell(QStringLiteral("This run has no curve in the results database, and its flag file "
                            "cannot be reached from this bench: %1")
                 .arg(QDir::toNativeSeparators(run.flagFile)),
             true);
        return false;
    }
    return true;
}

void ResultsDialog::withSelected(const char* purpose, bool fromFlagFile,
                                 std::function<void(const StoredRun&)> then) {
    const RunResult* run = single();
    if (!run || !store)
        return;
    tell(QStringLiteral("Reading the run..."), false);
    pending.insert(store->querySeries(run->runId), {*run, purpose, fromFlagFile, std::move(then)});
}

void ResultsDialog::seriesRead(int id, const QVector<RunSeries::Chunk>& chunks,
                               const QString& error) {
    const auto it = pending.find(id);
    if (it == pending.end())
        return;
    const Pending request = *it;
    pending.erase(it);
    StoredRun stored{request.run, RunSeries()};
    QString why;
    if (!chunks.isEmpty() && !RunSeries::fromChunks(chunks, &stored.series, &why)) {
        tell(QStringLiteral("The curve of this run cannot be read: %1").arg(why), true);
    } else if (!stored.series.isEmpty() ||
               (request.fromFlagFile && flagFileReachable(request.run, request.purpose))) {
        request.then(stored);
    } else if (!request.fromFlagFile) {
        tell(error.isEmpty()
                 ? QStringLiteral("This run has no curve in the results database to %1.")
                       .arg(QLatin1String(request.purpose))
                 : QStringLiteral("The results database cannot be read (%1).").arg(error),
             true);
    }
    emit runHandled();
}

void ResultsDialog::reviewChosen() {
    withSelected("review", true, [this](const StoredRun& run) {
        if (p.review && p.review(run))
            close();
    });
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

bool ResultsDialog::allowed(const QString& path) {
    const QString refused = ProgramFolders::refusal(path);
    if (!refused.isEmpty())
        tell(QStringLiteral("Not written: %1").arg(refused), true);
    return refused.isEmpty();
}

void ResultsDialog::exportChosen() {
    const QString suggested = suggestedPath(
        QStringLiteral("runs-") + QDate::currentDate().toString(QStringLiteral("yyyyMMdd.csv")));
    const QString path = chooseSaveFile(this, QStringLiteral("Export CSV"), suggested,
                                        QStringLiteral("CSV files (*.csv)"));
    if (!path.isEmpty() && allowed(path))
        exportCsv(path);
}

void ResultsDialog::reportChosen() {
    const RunResult* run = single();
    if (!run)
        return;
    const QString suggested =
        suggestedPath(QStringLiteral("run-") +
                      run->startedAt.toLocalTime().toString(QStringLiteral("yyyyMMddHHmmss")) +
                      QStringLiteral("-report.pdf"));
    const QString path = chooseSaveFile(this, QStringLiteral("Report PDF"), suggested,
                                        QStringLiteral("PDF files (*.pdf)"));
    if (path.isEmpty() || !allowed(path))
        return;
    withSelected("report", true, [this, path](const StoredRun& stored) {
        const QString why = p.report ? p.report(stored, path) : QStringLiteral("No report.");
        if (why.isEmpty())
            tell(QStringLiteral("Report written to %1").arg(QDir::toNativeSeparators(path)), false);
        else
            tell(why, true);
    });
}

void ResultsDialog::referenceChosen() {
    withSelected("compare with", false, [this](const StoredRun& stored) {
        if (p.setReference)
            p.setReference(stored);
        tell(QStringLiteral("Reference: unit %1, started %2, drawn grey behind the run.")
                 .arg(stored.row.unit().unit(), stored.row.startedAt.toLocalTime().toString(
                                                    QStringLiteral("yyyy-MM-dd HH:mm:ss"))),
             false);
    });
}

void ResultsDialog::clearReference() {
    if (p.setReference)
        p.setReference(StoredRun());
    tell(QStringLiteral("No reference."), false);
}
