#include "laser/lasercurrentpage.h"

#include "cd_board.h"
#include "common/segmentfont.h"
#include "console/playerpanel.h"
#include "laser/laserhistory.h"
#include "laser/zerohourbyte.h"
#include "shell/logging.h"
#include "ui_lasercurrentpage.h"

#include <QMessageBox>

#include <algorithm>

LaserCurrentPage::LaserCurrentPage(CD_Board& board, PlayerPanel& player,
                                   std::function<QString()> memoryBusy,
                                   std::function<bool()> programming, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::LaserCurrentPage>()), board(board), player(player),
      memoryBusy(std::move(memoryBusy)), programming(std::move(programming)) {
    ui->setupUi(this);
    ui->time_display_2->setFont(SegmentFont::font(20));
    ui->track_number_display_2->setFont(SegmentFont::font(20));
    ui->lblWarnLaserHistory->hide();
    ui->btnResetLaserHistory->hide();

    QCustomPlot* plot = ui->customPlotLaser;
    plot->addGraph()->setName("Laser Current (mA)");
    plot->graph(0)->setPen(QPen(Qt::red));
    plot->addGraph()->setName("Zero Hour Laser Current (mA)");
    plot->graph(1)->setPen(QPen(Qt::blue));
    plot->xAxis->setLabel("Playime (s)");
    plot->yAxis->setLabel("Laser Current (mA)");
    plot->xAxis->setRange(0, 5000);
    plot->yAxis->setRange(0, 200);
    plot->replot();

    connect(ui->btnGetLaserHistory, &QPushButton::clicked, this, &LaserCurrentPage::readHistory);
    connect(ui->btnGetZeroByte, &QPushButton::clicked, this, &LaserCurrentPage::readZeroHourByte);
    connect(ui->btnResetLaserHistory, &QPushButton::clicked, this, &LaserCurrentPage::askErase);
    connect(&board, &CD_Board::memoryExchangeFailed, this, &LaserCurrentPage::exchangeFailed);
    const std::pair<QPushButton*, void (PlayerPanel::*)()> buttons[] = {
        {ui->Button_Stop_2, &PlayerPanel::stop},
        {ui->Button_Play_2, &PlayerPanel::playPause},
        {ui->Button_Next_2, &PlayerPanel::next},
        {ui->Button_Previous_2, &PlayerPanel::previous},
        {ui->Button_Open_Close_2, &PlayerPanel::openClose}};
    for (const auto& [button, slot] : buttons)
        connect(button, &QPushButton::clicked, &player, slot);
    connect(&player, &PlayerPanel::playButtonText, ui->Button_Play_2, &QPushButton::setText);
}

LaserCurrentPage::~LaserCurrentPage() = default;

void LaserCurrentPage::showMessage(const QString& text) {
    ui->lblWarnLaserHistory->setText(text);
    ui->lblWarnLaserHistory->show();
}

bool LaserCurrentPage::memoryAllowed() {
    const QString why = player.isPlaying() ? LaserHistory::stopModeText() : memoryBusy();
    if (why.isEmpty())
        ui->lblWarnLaserHistory->hide();
    else
        showMessage(why);
    return why.isEmpty();
}

void LaserCurrentPage::readHistory() {
    if (memoryAllowed())
        board.readLaserHistory();
}

void LaserCurrentPage::readZeroHourByte() {
    if (memoryAllowed())
        board.readZeroByte();
}

void LaserCurrentPage::askErase() {
    if (!memoryAllowed())
        return;
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Reset history of laser"),
                                LaserHistory::eraseQuestion(), QMessageBox::Yes | QMessageBox::No,
                                window());
    box->setDefaultButton(QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this, box] {
        if (box->standardButton(box->clickedButton()) == QMessageBox::Yes && memoryAllowed())
            board.resetLaserHistory();
    });
    box->open();
}

void LaserCurrentPage::exchangeFailed(const QString& text) {
    showMessage(text);
    // during a programming run the only exchange is the run's own erase: the run ends with it
    if (programming())
        board.stopEepromRun(text);
}

void LaserCurrentPage::plotHistory(int runtime, int lastIndex, const quint8* values) {
    QVector<double> times;
    QVector<double> currents;
    const int recorded = LaserHistory::build(static_cast<quint64>(qMax(runtime, 0)),
                                             static_cast<quint8>(lastIndex & 0xFF), values,
                                             board.state().link.fw_version, &times, &currents);
    QCustomPlot* plot = ui->customPlotLaser;
    plot->graph(0)->setVisible(recorded != 0);
    if (recorded == 0) {
        showMessage(LaserHistory::emptyText());
    } else {
        plot->xAxis->setRange(times.first(), times.last());
        // paired from the start; the newest time has no sample when the ring is full
        const int n = qMin(times.size(), currents.size());
        times.resize(n);
        currents.resize(n);
        plot->graph(0)->setData(times, currents, true);
    }
    qCDebug(dk61Laser) << "laser history" << runtime << lastIndex << times.size();
    plot->replot();
}

void LaserCurrentPage::plotZeroHourByte(int value) {
    QCustomPlot* plot = ui->customPlotLaser;
    const quint8 byte = static_cast<quint8>(value & 0xFF);
    plot->graph(1)->setVisible(byte != ZeroHourByte::NotSet);
    if (byte != ZeroHourByte::NotSet) {
        const double mA = LaserHistory::zeroByteMilliampere(byte);
        const QCPRange range = plot->xAxis->range();
        plot->graph(1)->setData({range.lower, range.upper}, {mA, mA}, true);
    }
    plot->replot();
}

void LaserCurrentPage::showPosition(const QString& time, const QString& track) {
    ui->time_display_2->setText(time);
    ui->track_number_display_2->setText(track);
}

void LaserCurrentPage::hidePlayer() {
    ui->groupBox->hide();
}

void LaserCurrentPage::fitWindow(const QSize& page, int W, int H) {
    // Bottom up: the player bar, the history buttons, the plot above them.
    QGroupBox* bar = ui->groupBox;
    const int barHeight =
        bar->isHidden() ? 0 : std::max(bar->height(), bar->childrenRect().bottom() + 3);
    bar->setGeometry(0, page.height() - barHeight, page.width(), barHeight);
    const int rowY = std::min(H - 160, bar->y() - 4 - ui->btnGetLaserHistory->height());
    for (QWidget* widget : std::initializer_list<QWidget*>{
             ui->btnGetLaserHistory, ui->btnGetZeroByte, ui->btnResetLaserHistory})
        widget->move(widget->x(), rowY);
    ui->lblWarnLaserHistory->move(ui->lblWarnLaserHistory->x(), rowY + 2);
    QCustomPlot* plot = ui->customPlotLaser;
    plot->resize(W - 70, rowY - 5 - plot->y());
}
