#include "service/servicemodepage.h"

#include "service/servicepanel.h"
#include "ui_servicemodepage.h"

ServiceModePage::ServiceModePage(ServicePanel& service, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::ServiceModePage>()) {
    ui->setupUi(this);
    connect(ui->btnServiceModeStart, &QPushButton::clicked, &service, &ServicePanel::start);
    connect(ui->btnServiceModeNext, &QPushButton::clicked, &service, &ServicePanel::next);
    connect(ui->btnServiceModeExit, &QPushButton::clicked, &service, &ServicePanel::exit);
    const std::array<QPushButton*, 14> steps = {
        ui->btnServiceMode_1,  ui->btnServiceMode_2,  ui->btnServiceMode_3,  ui->btnServiceMode_4,
        ui->btnServiceMode_5,  ui->btnServiceMode_6,  ui->btnServiceMode_7,  ui->btnServiceMode_8,
        ui->btnServiceMode_9,  ui->btnServiceMode_10, ui->btnServiceMode_11, ui->btnServiceMode_12,
        ui->btnServiceMode_13, ui->btnServiceMode_14};
    for (int step = 1; step <= int(steps.size()); ++step)
        connect(steps[size_t(step - 1)], &QPushButton::clicked, &service,
                [&service, step] { service.gotoStep(step); });
    connect(&service, &ServicePanel::stepMarked, this, &ServiceModePage::markStep);
    connect(&service, &ServicePanel::warningsShown, this, &ServiceModePage::showServiceWarning);
}

ServiceModePage::~ServiceModePage() = default;

void ServiceModePage::markStep(int step) {
    const std::array<QLabel*, 14> all = markers();
    for (int n = 1; n <= int(all.size()); ++n)
        all[size_t(n - 1)]->setVisible(n == step);
}

void ServiceModePage::showServiceWarning(bool shown) {
    ui->ServiceModeWarningLabel_7->setVisible(shown);
}

std::array<QLabel*, 14> ServiceModePage::markers() const {
    return {ui->labelService1,  ui->labelService2,  ui->labelService3,  ui->labelService4,
            ui->labelService5,  ui->labelService6,  ui->labelService7,  ui->labelService8,
            ui->labelService9,  ui->labelService10, ui->labelService11, ui->labelService12,
            ui->labelService13, ui->labelService14};
}
