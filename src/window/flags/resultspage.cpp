#include "flags/resultspage.h"

#include "resultsstore.h"

#include <QWidget>

ResultsPage::ResultsPage(QWidget* window, QStatusBar* bar, const ResultsDialog::Parts& dialogParts)
    : window(window), dialogParts(dialogParts), indicator(bar) {
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
    store = std::make_unique<ResultsStore>(options);
    QObject::connect(store.get(), &ResultsStore::statusChanged, window,
                     [this](const ResultsStatus& status) { indicator.show(status); });
    indicator.show(store->status());
    recorder.setStore(store.get());
    if (dialog)
        dialog->setStore(store.get());
}

void ResultsPage::recorded(const RunSummary& summary, int setting, const RunSeries* series) {
    if (!store)
        openNow();
    recorder.recorded(summary, setting, series);
}

void ResultsPage::close() {
    opening.stop();
    recorder.end();
    recorder.setStore(nullptr);
    if (dialog)
        dialog->setStore(nullptr);
    store.reset();
}

void ResultsPage::showDialog() {
    if (!store)
        openNow();
    if (!dialog)
        dialog = new ResultsDialog(store.get(), dialogParts, window);
    dialog->show();
    dialog->raise();
}
