#include "board/linkstatusbar.h"

#include "board/elidedlabel.h"
#include "common/plaintext.h"

#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

namespace {

// The texts that grow (the loader type, the port with the firmware versions) are cut short
// first, the states give up only the blanks around them: the window is not made wider than
// asked and the button stays inside it.
QLabel* namedLabel(QStatusBar* bar, const char* name, ElidedLabel::Narrowest narrowest,
                   const QString& text = QString()) {
    auto* label = new ElidedLabel(text, bar->window(), narrowest);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

void setWhole(QLabel* label, const QString& text) {
    label->setText(text);
    label->setToolTip(PlainText::tip(text)); // the whole text where the label shows it cut short
}

} // namespace

void LinkStatusBar::showText(QLabel* label, const StatusWording::Text& text) {
    if (!text.shown)
        return;
    if (label->text() != text.text)
        label->setText(text.text);
    const QString style = StatusWording::styleSheet(text.colour);
    if (!style.isEmpty() && label->styleSheet() != style)
        label->setStyleSheet(style);
}

LinkStatusBar::LinkStatusBar(QStatusBar* bar) {
    const char* names[] = {"boardLabel", "spdifLabel", "cflagLabel"};
    for (int i = 0; i < 3; ++i)
        states[i] = namedLabel(bar, names[i], ElidedLabel::Narrowest::TextWithoutBlanks);
    show(StatusWording::start());
    loaderType = namedLabel(bar, "statusLabel", ElidedLabel::Narrowest::Ellipsis);
    connection = namedLabel(bar, "connectionLabel", ElidedLabel::Narrowest::Ellipsis,
                            StatusWording::notConnected());
    button = new QPushButton(QStringLiteral("Connect"), bar->window());
    button->setObjectName(QStringLiteral("connectButton"));
    for (QLabel* label : states)
        bar->addPermanentWidget(label);
    bar->addPermanentWidget(loaderType, 1);
    bar->addPermanentWidget(connection);
    bar->addPermanentWidget(button);
}

void LinkStatusBar::show(const StatusWording::Bar& bar) {
    const StatusWording::Text* texts[] = {&bar.board, &bar.spdif, &bar.cflag};
    for (int i = 0; i < 3; ++i)
        showText(states[i], *texts[i]);
}

void LinkStatusBar::showConnection(const QString& text, bool open) {
    setWhole(connection, text);
    const QString label = open ? QStringLiteral("Disconnect") : QStringLiteral("Connect");
    button->setText(label);
}

void LinkStatusBar::appendFlagFirmware(int version) {
    setWhole(connection, connection->text() + StatusWording::flagFirmwareSuffix(version));
}

void LinkStatusBar::showLoaderType(const QString& text) {
    setWhole(loaderType, text);
}
