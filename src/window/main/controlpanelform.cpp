#include "main/controlpanelform.h"

#include "ui_control_panel.h"

#include <QMainWindow>
#include <QObject>

namespace {

// Keeps the form object alive as long as its window.
class FormHolder : public QObject {
public:
    explicit FormHolder(QMainWindow* window) : QObject(window) {
        setObjectName(QStringLiteral("controlPanelFormHolder"));
    }
    Ui::Control_Panel ui;
};

} // namespace

void ControlPanelForm::setUp(QMainWindow* window) {
    auto* holder = new FormHolder(window);
    holder->ui.setupUi(window);
}

void ControlPanelForm::retranslate(QMainWindow* window) {
    if (auto* holder = window->findChild<FormHolder*>(QStringLiteral("controlPanelFormHolder"),
                                                      Qt::FindDirectChildrenOnly))
        holder->ui.retranslateUi(window);
}
