#include "production/register_dialog.h"

#include "production/servolists.h"
#include "shell/logging.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

Register_Dialog::Register_Dialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Write Bytes To Register"));
    resize(899, 516);

    commandBox = new QComboBox(this);
    commandBox->setObjectName(QStringLiteral("comboCommand"));
    commandBox->setGeometry(20, 40, 141, 22);
    commandBox->setMaxVisibleItems(15);
    commandBox->addItems({"Write Focus Coefs 1", "Write Focus Coefs 2", "Write Focus Command",
                          "Focus Gain Up", "Focus Gain Down", "Write Radial Coefs", "Preset Latch",
                          "Radial Off", "Radial Init", "Short Jump", "Long Jump", "Steer Sledge",
                          "Preset Init", "Write Parameter", "Write Decoder Reg"});
    auto* commandLabel = new QLabel(QStringLiteral("Command"), this);
    commandLabel->setGeometry(70, 20, 71, 20);
    commandLabel->setBuddy(commandBox);

    sendButton = new QPushButton(QStringLiteral("Send"), this);
    sendButton->setObjectName(QStringLiteral("buttonSend"));
    sendButton->setGeometry(480, 40, 75, 23);

    for (int n = 0; n < 7; ++n) {
        auto* field = new QLineEdit(this);
        field->setObjectName(QStringLiteral("lineByte%1").arg(n + 1));
        field->setAccessibleName(QStringLiteral("Byte %1").arg(n + 1));
        field->setGeometry(180 + 40 * n, 40, 31, 20);
        byteFields.append(field);
    }

    const char* captions[] = {
        "foc lead length:", "CA start:", "Focus INT:",  "ramp incr.:", "ramp height:",
        "ramp offset:",     "FE start:", "Focus gain:", "BLER:",       "Remark:"};
    using List = ServoLists::List;
    const List lists[] = {List::FocLeadLength, List::CaStart,    List::FocusInt, List::RampIncrease,
                          List::RampHeight,    List::RampOffset, List::FeStart};
    for (int n = 0; n < 10; ++n) {
        auto* label = new QLabel(QString::fromLatin1(captions[n]), this);
        label->setGeometry(40, 90 + 40 * n, 95, 20);
        if (n >= 7)
            continue;
        auto* box = new QComboBox(this);
        box->setGeometry(140, 85 + 40 * n, 69, 22);
        for (const ServoLists::Item& item : ServoLists::items(lists[n]))
            box->addItem(item.text, item.data);
        label->setBuddy(box);
        settingBoxes.append(box);
    }
}

Register_Dialog::~Register_Dialog() {
    qCDebug(dk61Eeprom) << "Deconstructing Register Dialog";
}

void Register_Dialog::closeEvent(QCloseEvent* event) {
    qCDebug(dk61Eeprom) << "CloseEvent";
    QDialog::closeEvent(event);
}

Register_Dialog* Register_Dialog::single(Register_Dialog* current, QWidget* parent) {
    if (current && !current->isVisible()) {
        delete current;
        current = nullptr;
    }
    if (!current) {
        qCDebug(dk61Eeprom) << "opening the register dialog";
        current = new Register_Dialog(parent);
        current->show();
    }
    return current;
}
