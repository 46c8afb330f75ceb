#ifndef LINKQUESTIONBOX_H
#define LINKQUESTIONBOX_H

#include "linksupervisor.h"

#include <QPointer>

class QMessageBox;
class QWidget;

// A link supervisor's question as the modal Retry/Abort box. While it is up it is published in
// `shown`; it answers itself with Retry when the supervisor reports the adapter back, and closes
// when the board answers the supervisor's loader watchdog.
class LinkQuestionBox {
public:
    static LinkSupervisor::Answer ask(QWidget* parent, LinkSupervisor& link,
                                      const LinkSupervisor::Question& question,
                                      QPointer<QMessageBox>& shown);
};

#endif // LINKQUESTIONBOX_H
