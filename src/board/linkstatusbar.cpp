#include "linkstatusbar.h"

#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

namespace {

QLabel* namedLabel(QStatusBar* bar, const char* name, const QString& text = QString()) {
    auto* label = new QLabel(text, bar->window());
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

// Sets a label's text and colour where they differ from what it shows (a style sheet costs a
// repolish even when it is the same).
void showText(QLabel* label, const StatusWording::Text& text) {
    if (!text.shown)
        return;
    if (label->text() != text.text)
        label->setText(text.text);
    const QString style = StatusWording::styleSheet(text.colour);
    if (!style.isEmpty() && label->styleSheet() != style)
        label->setStyleSheet(style);
}

} // namespace

LinkStatusBar::LinkStatusBar(QStatusBar* bar, QLabel* message, QPushButton* formButton)
    : message(message), formButton(formButton) {
    const char* names[] = {"boardLabel", "spdifLabel", "cflagLabel"};
    for (int i = 0; i < 3; ++i)
        states[i] = namedLabel(bar, names[i]);
    show(StatusWording::start());
    loaderType = namedLabel(bar, "statusLabel");
    connection = namedLabel(bar, "connectionLabel", StatusWording::notConnected());
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
    showText(message, bar.message);
}

void LinkStatusBar::showConnection(const QString& text, bool open) {
    connection->setText(text);
    const QString label = open ? QStringLiteral("Disconnect") : QStringLiteral("Connect");
    formButton->setText(label);
    button->setText(label);
}

void LinkStatusBar::appendFlagFirmware(int version) {
    connection->setText(connection->text() + StatusWording::flagFirmwareSuffix(version));
}

void LinkStatusBar::showLoaderType(const QString& text) {
    loaderType->setText(text);
}
