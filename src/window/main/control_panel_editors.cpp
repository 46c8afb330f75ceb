// The main window's register dialog: one at a time.
#include "main/control_panel.h"
#include "production/register_dialog.h"
#include "shell/logging.h"

// ---- register dialog: one at a time; a closed one is replaced by a fresh one ----

void Control_Panel::handleWriteToRegister() {
    registerDialog = Register_Dialog::single(registerDialog, this);
    // queued: a dialog that goes with the window reports to no half-destroyed window
    connect(registerDialog, &QObject::destroyed, this,
            &Control_Panel::handleWriteRegisterWindowDestroyed,
            Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection));
}

void Control_Panel::handleWriteRegisterWindowDestroyed() {
    qCDebug(dk61Eeprom) << "finished";
}
