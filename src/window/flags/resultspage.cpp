#include "flags/resultspage.h"

#include "resultsstore.h"

#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

ResultsPage::ResultsPage(QWidget* window, QStatusBar* bar, const ResultsDialog::Parts& dialogParts,
                         const Hooks& hooks)
    : window(window), dialogParts(dialogParts), hooks(hooks), indicator(bar) {
    opening.setSingleShot(true);
    opening.setInterval(OpenAfterMs);
    QObject::connect(&opening, &QTimer::timeout, window, [this] { openNow(); });
}

ResultsPage::~ResultsPage() {
    close();
}

void ResultsPage::open(const QString& value) {
    location = value;
    if (store)
        openNow();
    else
        opening.start();
}

void ResultsPage::openNow() {
    opening.stop();
    recorder.setStore(nullptr);
    store.reset(); // the store before hands over what it holds
    ResultsStore::Options options;
    options.location = location;
    if (hooks.spareFolders)
        options.spareFolders = hooks.spareFolders();
    store = std::make_unique<ResultsStore>(options);
    QObject::connect(store.get(), &ResultsStore::statusChanged, window,
                     [this](const ResultsStatus& status) { show(status); });
    show(store->status());
    recorder.setStore(store.get());
    if (dialog)
        dialog->setStore(store.get());
}

void ResultsPage::recorded(const RunSummary& summary, int setting, const RunSeries* series) {
    if (!store)
        openNow();
    recorder.recorded(summary, setting, series);
}

void ResultsPage::show(const ResultsStatus& status) {
    indicator.show(status);
    if (status.notice.isEmpty() || status.notice == told)
        return;
    // Told once, without stopping the measurement.
    told = status.notice;
    if (hooks.logLine)
        hooks.logLine(QStringLiteral("Results: ") + told);
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Results database"), told,
                                QMessageBox::Ok, window);
    box->setObjectName(QStringLiteral("resultsNotice"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

void ResultsPage::close() {
    opening.stop();
    recorder.end();
    recorder.setStore(nullptr);
    if (dialog)
        dialog->setStore(nullptr);
    if (store && !store->flush(0) && hooks.logLine) {
        const ResultsStatus status = store->status();
        for (const RunResult& run : store->unsavedRuns())
            hooks.logLine(QStringLiteral("Results: run NOT SAVED (%1): %2")
                              .arg(status.unsavedWhy, run.columnText()));
    }
    store.reset();
}

void ResultsPage::confirmClose(const std::function<bool()>& quitting) {
    while (store && !store->saveNow() && !(quitting && quitting())) {
        const ResultsStatus status = store->status();
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Results not saved"),
                        QStringLiteral("%1 NOT SAVED (%2): neither the results outbox nor the "
                                       "Logs or Flags folder takes them.\n\nMake room and press "
                                       "Retry. Quit anyway loses them; the log file keeps their "
                                       "totals where it can.")
                            .arg(status.unsaved == 1
                                     ? QStringLiteral("1 run is")
                                     : QStringLiteral("%1 runs are").arg(status.unsaved),
                                 status.unsavedWhy),
                        QMessageBox::NoButton, window);
        box.setObjectName(QStringLiteral("resultsNotSaved"));
        QPushButton* retry = box.addButton(QStringLiteral("Retry"), QMessageBox::AcceptRole);
        QPushButton* quit =
            box.addButton(QStringLiteral("Quit anyway"), QMessageBox::DestructiveRole);
        box.setDefaultButton(retry);
        box.setEscapeButton(retry);
        box.exec();
        if (box.clickedButton() == quit)
            return;
    }
}

void ResultsPage::showDialog() {
    if (!store)
        openNow();
    if (!dialog)
        dialog = new ResultsDialog(store.get(), dialogParts, window);
    dialog->show();
    dialog->raise();
}
