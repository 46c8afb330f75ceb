#include "production/audiobytepage.h"

#include "production/audiobyte.h"
#include "production/fieldmemory.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

AudioBytePage::AudioBytePage(const Parts& parts, FieldMemory& fields, QObject* parent)
    : QObject(parent), p(parts), fields(fields) {
    group = new QButtonGroup(this);
    for (int format : AudioByte::formats())
        group->addButton(p.window->findChild<QRadioButton*>(AudioByte::radioName(format)), format);
}

void AudioBytePage::compose() {
    AudioByte::Choices choices;
    choices.format = qMax(group->checkedId(), 0);
    choices.clockAccuracy = p.choices[0]->currentIndex();
    choices.ebuFlags = p.choices[1]->currentIndex();
    choices.deemphasis = p.choices[2]->currentIndex();
    composed = AudioByte::compose(choices);
    p.byte->setText(AudioByte::text(composed));
}

void AudioBytePage::copyToEeprom() {
    p.eepromByte->setText(AudioByte::text(composed));
    p.showEepromPage();
}

void AudioBytePage::showRead(quint8 value) {
    if (!fields.refresh(p.eepromByte, AudioByte::text(value)))
        return;
    composed = value;
    const AudioByte::Choices choices = AudioByte::takeApart(value);
    // a format without a radio button leaves the choice as it was
    if (QAbstractButton* radio = group->button(choices.format))
        radio->setChecked(true);
    p.choices[0]->setCurrentIndex(choices.clockAccuracy);
    p.choices[1]->setCurrentIndex(choices.ebuFlags);
    p.choices[2]->setCurrentIndex(choices.deemphasis);
    p.byte->setText(QString::number(value, 16).toUpper());
}
