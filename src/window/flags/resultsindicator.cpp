#include "flags/resultsindicator.h"

#include "board/statuswording.h"
#include "common/plaintext.h"

#include <QLabel>
#include <QStatusBar>

ResultsIndicator::ResultsIndicator(QStatusBar* bar) {
    label = new QLabel(bar->window());
    label->setObjectName(QStringLiteral("resultsLabel"));
    label->setStyleSheet(StatusWording::styleSheet(StatusWording::Colour::Red));
    bar->addPermanentWidget(label);
    label->hide();
}

QString ResultsIndicator::text(const ResultsStatus& status) {
    if (status.unsaved > 0) {
        const QString runs = status.unsaved == 1 ? QStringLiteral("1 run")
                                                 : QStringLiteral("%1 runs").arg(status.unsaved);
        return QStringLiteral("  RESULTS: %1 NOT SAVED (%2)  ").arg(runs, status.unsavedWhy);
    }
    if (!status.answering)
        return QStringLiteral("  RESULTS: database not answering  ");
    if (status.waiting <= 0)
        return QString();
    return status.waiting == 1 ? QStringLiteral("  RESULTS: 1 run waiting  ")
                               : QStringLiteral("  RESULTS: %1 runs waiting  ").arg(status.waiting);
}

void ResultsIndicator::show(const ResultsStatus& status) {
    const QString shown = text(status);
    label->setText(shown);
    label->setAccessibleName(shown.trimmed());
    const QString detail =
        status.error.isEmpty() ? status.where : status.where + QStringLiteral(": ") + status.error;
    label->setToolTip(PlainText::tip(detail));
    label->setAccessibleDescription(detail);
    label->setVisible(!shown.isEmpty());
}
