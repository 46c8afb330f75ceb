#include "board/linkwindow.h"

#include "board/linkquestionbox.h"
#include "common/infobox.h"
#include "linkpair.h"
#include "shell/logging.h"

#include <QMessageBox>

LinkWindow::LinkWindow(QWidget& window, LinkPair& links)
    : QObject(&window), window(window), links(links) {
    links.setAskOperator([this](auto& link, const auto& q) { return ask(link, q); });
}

LinkSupervisor::Answer LinkWindow::ask(LinkSupervisor& link,
                                       const LinkSupervisor::Question& question) {
    const LinkSupervisor::Answer answer = LinkQuestionBox::ask(
        &window, link, question, &link == &links.boardSide() ? boardBox : otherBox);
    if (answer == LinkSupervisor::Answer::Abort && question.abortQuits)
        abortTimer.start(0);
    return answer;
}

void LinkWindow::portAccessDenied(const QString& portName) {
    if (accessHintShown)
        return;
    accessHintShown = true;
    qCDebug(dk61Link) << "no permission to open" << portName;
    InfoBox::open(&window, QStringLiteral("portAccessBox"), QStringLiteral("Serial port"),
                  QStringLiteral("The system does not allow this user to open %1, so the board "
                                 "cannot be reached. To fix it, add yourself to the dialout group "
                                 "and log in again (for example: sudo adduser $USER dialout). The "
                                 "tool keeps trying.")
                      .arg(portName));
}

QMessageBox* LinkWindow::boardQuestion() const {
    return boardBox;
}
