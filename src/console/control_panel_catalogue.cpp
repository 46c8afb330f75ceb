// The main window's test buttons: one application command per button, sent through the
// typed-request line so that the operator sees and can recall it like a typed one.
#include "commandcatalogue.h"
#include "control_panel.h"
#include "logging.h"
#include "ui_control_panel.h"

void Control_Panel::wireCatalogue() {
    for (const CommandCatalogue::Command& command : CommandCatalogue::commands()) {
        auto* button = findChild<QPushButton*>(QString::fromLatin1(command.button));
        QLineEdit* input =
            command.input ? findChild<QLineEdit*>(QString::fromLatin1(command.input)) : nullptr;
        if (!button || (command.input && !input)) {
            qCWarning(dk61Console) << "the form lacks the widgets of" << command.name;
            continue;
        }
        connect(button, &QPushButton::clicked, this, [this, command, input] {
            qCDebug(dk61Console) << command.name;
            sendCommandText(CommandCatalogue::text(command, input ? input->text() : QString()));
        });
    }
    connect(ui->btnTestfunctions, &QPushButton::clicked, this, &Control_Panel::testsuite_Show_Hide);
}

void Control_Panel::sendCommandText(const QString& text) {
    ui->InputText->setText(text);
    sendCustomData();
}

// Shows the test buttons beside the traffic view in a larger window, or hides them again.
void Control_Panel::testsuite_Show_Hide() {
    if (testPanelShown) {
        testPanelShown = false;
        resize(900, 700);
        ui->groupBoxTest->hide();
        ui->btnTestfunctions->setText("Show Testbuttons");
        ui->textBrowser->resize(width() - 214, height() - 210);
        return;
    }
    testPanelShown = true;
    resize(1500, 800);
    ui->groupBoxTest->show();
    ui->btnTestfunctions->setText("Hide Testbuttons");
    ui->groupBoxTest->move(width() - ui->groupBoxTest->width() - 20, ui->groupBoxTest->y());
    ui->textBrowser->resize(width() - ui->groupBoxTest->width() - 244, ui->textBrowser->height());
}
