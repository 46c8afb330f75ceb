#include "production/audiobytepage.h"

#include "production/audiobyte.h"
#include "ui_audiobytepage.h"

#include <QButtonGroup>

AudioBytePage::AudioBytePage(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::AudioBytePage>()) {
    ui->setupUi(this);
    group = new QButtonGroup(this);
    const std::pair<int, QRadioButton*> formats[] = {
        {0xA, ui->rB1010}, {0xB, ui->rB1011}, {0xE, ui->rB1110}, {0x2, ui->rB0010},
        {0x6, ui->rB0110}, {0x0, ui->rB0000}, {0x4, ui->rB0100}, {0xC, ui->rB1100},
        {0x3, ui->rB0011}, {0x7, ui->rB0111}, {0xF, ui->rB1111}};
    for (const auto& [format, radio] : formats)
        group->addButton(radio, format);
    connect(group, qOverload<QAbstractButton*>(&QButtonGroup::buttonReleased), this,
            &AudioBytePage::compose);
    for (QComboBox* combo : {ui->cBClockAccuracy, ui->cBEBUFlags, ui->cBDeemph})
        connect(combo, qOverload<int>(&QComboBox::currentIndexChanged), this,
                &AudioBytePage::compose);
    connect(ui->pBSetAudioByte, &QPushButton::clicked, this, &AudioBytePage::copyToEeprom);
}

AudioBytePage::~AudioBytePage() = default;

void AudioBytePage::compose() {
    AudioByte::Choices choices;
    choices.format = qMax(group->checkedId(), 0);
    choices.clockAccuracy = ui->cBClockAccuracy->currentIndex();
    choices.ebuFlags = ui->cBEBUFlags->currentIndex();
    choices.deemphasis = ui->cBDeemph->currentIndex();
    composed = AudioByte::compose(choices);
    ui->lineAudioByteByteTab->setText(AudioByte::text(composed));
}

void AudioBytePage::copyToEeprom() {
    emit byteChosen(AudioByte::text(composed));
}

void AudioBytePage::showRead(quint8 value) {
    composed = value;
    const AudioByte::Choices choices = AudioByte::takeApart(value);
    // a format without a radio button leaves the choice as it was
    if (QAbstractButton* radio = group->button(choices.format))
        radio->setChecked(true);
    ui->cBClockAccuracy->setCurrentIndex(choices.clockAccuracy);
    ui->cBEBUFlags->setCurrentIndex(choices.ebuFlags);
    ui->cBDeemph->setCurrentIndex(choices.deemphasis);
    ui->lineAudioByteByteTab->setText(QString::number(value, 16).toUpper());
}
