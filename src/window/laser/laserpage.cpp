#include "laser/laserpage.h"

#include "cd_board.h"
#include "shell/logging.h"
#include "ui_laserpage.h"

namespace {

QString g6(double value) {
    return QString::number(value, 'g', 6);
}

} // namespace

LaserPage::LaserPage(CD_Board& board, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::LaserPage>()), board(board) {
    ui->setupUi(this);
    // beside each "Get ADC Value"
    const QPushButton* buttons[2] = {ui->buttonGetAdcValue_1, ui->buttonGetAdcValue_2};
    for (int n : {0, 1}) {
        progress[n] = new QLabel(this);
        progress[n]->setObjectName(QStringLiteral("labelAdcProgress_%1").arg(n + 1));
        progress[n]->setGeometry(buttons[n]->x() + 155, buttons[n]->y(), 170, buttons[n]->height());
    }
    ui->lineAdcValue_1->setReadOnly(true);
    ui->lineAdcValue_2->setReadOnly(true);
    // beside "Calculate"
    useButton = new QPushButton(QStringLiteral("Use for EEPROM"), this);
    useButton->setObjectName(QStringLiteral("buttonUseForEeprom"));
    useButton->setAccessibleName(useButton->text());
    useButton->setGeometry(170, 185, 150, 30);
    useButton->setEnabled(false);
    connect(useButton, &QPushButton::clicked, this,
            [this] { emit useForEeprom(fitted[0], fitted[1]); });
    for (QLabel* label : {ui->labelDerivative, ui->labelOffset, ui->labelCalculatorWarning})
        label->clear();

    connect(ui->buttonGetAdcValue_1, &QPushButton::clicked, &board, &CD_Board::getAdcValue_1);
    connect(ui->buttonGetAdcValue_2, &QPushButton::clicked, &board, &CD_Board::getAdcValue_2);
    connect(&board, &CD_Board::calculatedAdc_1, this, [this] { showPoint(1); });
    connect(&board, &CD_Board::calculatedAdc_2, this, [this] { showPoint(2); });
    connect(ui->buttoCalculate, &QPushButton::clicked, this, &LaserPage::fit);
    connect(&board, &CD_Board::module_off, this, &LaserPage::moduleOff);
    connect(ui->buttonLaserOnOff, &QPushButton::clicked, this,
            [this] { this->board.sendRequests(this->board.serviceMode().laserButton()); });
    // the count follows the readings once per batch received
    for (QPushButton* button : {ui->buttonGetAdcValue_1, ui->buttonGetAdcValue_2})
        connect(button, &QPushButton::clicked, this, &LaserPage::showProgress);
    connect(&board, &CD_Board::parse_complete, this, &LaserPage::showProgress);
    connect(&board, &CD_Board::disconnected_from_serial_port, this, &LaserPage::showProgress);
}

LaserPage::~LaserPage() = default;

void LaserPage::showPoint(int point) {
    const LaserCalibration& calibration = board.state().laser.calibration;
    if (calibration.mean(point) == 0)
        return;
    QLineEdit* mean = point == 1 ? ui->lineAdcValue_1 : ui->lineAdcValue_2;
    QLineEdit* variance = point == 1 ? ui->lineAdcValue_1_Variance : ui->lineAdcValue_2_Variance;
    mean->setText(g6(calibration.mean(point)));
    variance->setText(g6(calibration.variance(point)));
}

void LaserPage::fit() {
    LaserState& laser = board.state().laser;
    const LaserCalibration::Entry first{ui->lineCurrent_1->text(),
                                        ui->boxUnitSelector_1->currentIndex(),
                                        ui->lineAdcValue_1->text()};
    const LaserCalibration::Entry second{ui->lineCurrent_2->text(),
                                         ui->boxUnitSelector_2->currentIndex(),
                                         ui->lineAdcValue_2->text()};
    const LaserCalibration::Fit fit = laser.calibration.fit(first, second);
    if (!fit.ok) {
        ui->labelCalculatorWarning->setText(fit.warning);
        return;
    }
    ui->labelCalculatorWarning->clear();
    laser.laser_slope = static_cast<float>(fit.k);
    laser.laser_offset = static_cast<float>(fit.d);
    ui->labelDerivative->setText(g6(fit.k));
    ui->labelOffset->setText(g6(fit.d));
    fitted[0] = fit.k;
    fitted[1] = fit.d;
    useButton->setEnabled(true);
}

void LaserPage::showProgress() {
    for (int point : {1, 2})
        progress[point - 1]->setText(board.state().laser.calibration.progressText(point));
}

void LaserPage::moduleOff() {
    qCDebug(dk61Laser) << "handle module off()";
    board.serviceMode().moduleOff();
    showLaserButton(ServiceMode::laserButtonText(false));
}

void LaserPage::showLaserButton(const QString& text) {
    ui->buttonLaserOnOff->setText(text);
}

void LaserPage::showServiceWarning(bool shown) {
    ui->ServiceModeWarningLabel_6->setVisible(shown);
}
