#include "board/linkquestionbox.h"

#include <QMessageBox>

LinkSupervisor::Answer LinkQuestionBox::ask(QWidget* parent, LinkSupervisor& link,
                                            const LinkSupervisor::Question& question,
                                            QPointer<QMessageBox>& shown) {
    auto* box = new QMessageBox(parent);
    QObject::connect(&link, &LinkSupervisor::adapterBack, box,
                     [box] { box->done(QMessageBox::Retry); });
    QObject::connect(&link, &LinkSupervisor::loaderAnswer, box, [box] { box->done(0); });
    box->setTextFormat(Qt::PlainText);
    box->setText(question.text);
    box->setInformativeText(question.informative);
    // flag monitor: the window can come up without an adapter (File > Open Flag File...)
    if (question.offerOffline)
        box->addButton(QStringLiteral("Continue Offline"), QMessageBox::ActionRole);
    box->setStandardButtons(QMessageBox::Retry | QMessageBox::Abort);
    box->setDefaultButton(QMessageBox::Retry);
    box->setIcon(QMessageBox::Critical);
    QPointer<QMessageBox> guard(box);
    shown = box;
    const int result = box->exec();
    if (shown == box)
        shown = nullptr;
    delete guard.data();
    return result == QMessageBox::Retry   ? LinkSupervisor::Answer::Retry
           : result == QMessageBox::Abort ? LinkSupervisor::Answer::Abort
                                          : LinkSupervisor::Answer::Closed;
}
