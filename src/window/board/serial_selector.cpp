#include "board/serial_selector.h"

#include "shell/logging.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

Serial_Selector::Serial_Selector(const QList<PortCandidate>& candidates) : QDialog(nullptr) {
    setObjectName("Serial_Selector");
    setWindowTitle("Dialog");
    resize(299, 196);

    pushButton = new QPushButton("Connect", this);
    pushButton->setObjectName("pushButton");
    pushButton->setGeometry(100, 130, 75, 23);

    comboBox = new QComboBox(this);
    comboBox->setObjectName("comboBox");
    comboBox->setGeometry(40, 50, 211, 22);

    label =
        new QLabel("Multiple USB-UART Adapters detected.\nPlease pick one to connect with", this);
    label->setObjectName("label");
    label->setGeometry(40, 0, 231, 51);

    for (const PortCandidate& port : candidates) {
        if (port.busy)
            continue;
        freePorts.append(port);
        comboBox->addItem(port.portName());
    }
    connect(pushButton, &QPushButton::clicked, this, &Serial_Selector::return_selection);
}

void Serial_Selector::return_selection() {
    const int index = comboBox->currentIndex();
    if (index >= 0 && index < freePorts.size())
        chosen = freePorts.at(index);
    hide();
    qCDebug(dk61Link) << "selected port" << chosen.portName();
    emit selected();
}

bool Serial_Selector::choose(const QList<PortCandidate>& candidates, PortCandidate* chosen) {
    Serial_Selector dialog(candidates);
    bool picked = false;
    connect(&dialog, &Serial_Selector::selected, &dialog, [&] { picked = true; });
    dialog.exec();
    if (picked)
        *chosen = dialog.chosenPort();
    return picked;
}
