#include "console/playpage.h"

#include "common/segmentfont.h"
#include "console/playerpanel.h"
#include "ui_playpage.h"

PlayPage::PlayPage(PlayerPanel& player, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::PlayPage>()) {
    ui->setupUi(this);
    // What this tool does not use: song data, the sliders, the laser hint.
    for (QWidget* unused :
         std::initializer_list<QWidget*>{ui->SongTitleLabel, ui->ArtistLabel, ui->laserCurrenLabel,
                                         ui->VolumeSlider, ui->TrackTimeSlider})
        unused->hide();
    ui->labelLogFile->hide();
    ui->labelDiscID->clear();
    ui->time_display->setFont(SegmentFont::font(28));
    ui->track_number_display->setFont(SegmentFont::font(28));

    connect(ui->Button_Stop, &QPushButton::clicked, &player, &PlayerPanel::stop);
    connect(ui->Button_Play, &QPushButton::clicked, &player, &PlayerPanel::playPause);
    connect(ui->Button_Next, &QPushButton::clicked, &player, &PlayerPanel::next);
    connect(ui->Button_Previous, &QPushButton::clicked, &player, &PlayerPanel::previous);
    connect(ui->Button_Open_Close, &QPushButton::clicked, &player, &PlayerPanel::openClose);
    connect(&player, &PlayerPanel::playButtonText, ui->Button_Play, &QPushButton::setText);
    connect(&player, &PlayerPanel::discIdShown, ui->labelDiscID, &QLabel::setText);
}

PlayPage::~PlayPage() = default;

void PlayPage::showPosition(const QString& time, const QString& track) {
    ui->time_display->setText(time);
    ui->track_number_display->setText(track);
    ui->laserCurrenLabel->hide();
}

void PlayPage::showLogFile(const QString& path) {
    ui->labelLogFile->setText("Log File is stored at: " + path);
}

void PlayPage::setLogFileShown(bool shown) {
    ui->labelLogFile->setVisible(shown);
}

void PlayPage::showServiceWarning(bool shown) {
    ui->ServiceModeWarningLabel_1->setVisible(shown);
}
