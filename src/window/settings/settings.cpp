#include "settings/settings.h"

#include "common/plaintext.h"
#include "resultslocation.h"
#include "shell/logging.h"
#include "ui_settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
// The rates the list offers, in its order.
const int BaudRates[15] = {300,   600,   1200,  2400,  4800,   9600,   14400, 19200,
                           28800, 38400, 56000, 57600, 115200, 128000, 256000};
const int DefaultBaud = 128000;
const int DefaultBaudIndex = 13;
const int BaudCount = static_cast<int>(sizeof(BaudRates) / sizeof(int));
} // namespace

int Settings::baudForIndex(int index) {
    if (index < 0 || index >= BaudCount)
        return DefaultBaud;
    return BaudRates[index];
}

int Settings::indexForBaud(int baud) {
    for (int i = 0; i < BaudCount; ++i) {
        if (BaudRates[i] == baud)
            return i;
    }
    return DefaultBaudIndex;
}

Settings::Settings(const SettingsValues& shown, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::Settings>()), shown(shown) {
    qCDebug(dk61Settings) << "settings.cpp" << parent << this;
    setAttribute(Qt::WA_DeleteOnClose);
    chooseDirectory = [](QWidget* owner, const QString& title, const QString& start) {
        return QFileDialog::getExistingDirectory(owner, title, start, QFileDialog::ShowDirsOnly);
    };
    ui->setupUi(this);
    limitLines();
    for (int rate : BaudRates)
        ui->baudRateComboBox->addItem(QString::number(rate));
    // What the operator typed comes back in the error line as it is.
    PlainText::labels(this);

    ui->lineLogFile->setText(QDir(shown.logFileDirectory).absolutePath());
    ui->checkBoxStoreLogFile->setChecked(shown.storeLogFile);
    shownFlagDirectory = QDir(shown.flagFileDirectory).absolutePath();
    ui->lineFlagFile->setText(shownFlagDirectory);
    ui->checkBoxStoreFlagFile->setChecked(shown.storeFlagFile);
    for (int k = 0; k < 5; ++k)
        limitLine[k]->setText(FlagLimits::text(shown.limits.percent[size_t(k)]));
    ui->lineResultsDatabase->setText(shown.resultsDatabase);
    ui->checkBoxReportAtRunEnd->setChecked(shown.reportAtRunEnd);
    ui->checkBox_Reset_Conn->setChecked(shown.reconnect);

    qCDebug(dk61Settings) << "baudrate:" << shown.baudRate;
    chosenBaud = shown.baudRate;
    ui->baudRateComboBox->setCurrentIndex(indexForBaud(shown.baudRate));

    connect(ui->buttonCancelChanges, &QPushButton::clicked, this, &Settings::close);
    connect(ui->buttonLogFileBrowse, &QPushButton::clicked, this,
            &Settings::browseLogFileDirectory);
    connect(ui->buttonApplyChanges, &QPushButton::clicked, this, &Settings::applyChanges);
    connect(ui->buttonFlagFileBrowse, &QPushButton::clicked, this,
            &Settings::browseFlagFile_csvDirectory);
    connect(ui->baudRateComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int index) {
                chosenBaud = baudForIndex(index);
                qCDebug(dk61Settings)
                    << "rate chosen:" << chosenBaud << "shown:" << this->shown.baudRate;
            });
}

Settings::~Settings() = default;

void Settings::setDirectoryChooser(DirectoryChooser chooser) {
    chooseDirectory = std::move(chooser);
}

// The limit fields and their labels in the order of the limits.
void Settings::limitLines() {
    limitLine[0] = ui->lineLimitC1;
    limitLine[1] = ui->lineLimitC1U;
    limitLine[2] = ui->lineLimitC2;
    limitLine[3] = ui->lineLimitC2U;
    limitLine[4] = ui->lineLimitInterp;
    limitLabel[0] = ui->labelLimitC1;
    limitLabel[1] = ui->labelLimitC1U;
    limitLabel[2] = ui->labelLimitC2;
    limitLabel[3] = ui->labelLimitC2U;
    limitLabel[4] = ui->labelLimitInterp;
}

bool Settings::takeTypedFields(SettingsValues* chosen) {
    auto refuse = [this](const QString& why) {
        ui->labelSettingsError->setText(why);
        ui->labelSettingsError->setAccessibleName(why);
        return false;
    };
    const QString typed = ui->lineFlagFile->text().trimmed();
    if (typed != shownFlagDirectory) {
        const QFileInfo info(typed);
        if (typed.isEmpty() || !info.isDir())
            return refuse(
                QStringLiteral("Flags cannot be stored at \"%1\": no such directory.").arg(typed));
        chosen->flagFileDirectory = info.absoluteFilePath();
    }
    for (int k = 0; k < 5; ++k) {
        const QString why = FlagLimits::refusal(limitLabel[k]->text(), limitLine[k]->text(),
                                                &chosen->limits.percent[size_t(k)]);
        if (!why.isEmpty())
            return refuse(why);
    }
    const QString results = ui->lineResultsDatabase->text().trimmed();
    const ResultsLocation location = ResultsLocation::parse(results);
    if (location.kind == ResultsLocation::Kind::Invalid)
        return refuse(
            QStringLiteral("The results database cannot be used: %1").arg(location.error));
    chosen->resultsDatabase = results;
    ui->labelSettingsError->clear();
    return true;
}

QString Settings::chooseExistingDirectory(const QString& start) {
    const QString chosen =
        chooseDirectory ? chooseDirectory(this, "Open Directory", start) : QString();
    if (chosen.isEmpty() || !QDir(chosen).exists())
        return QString();
    return chosen;
}

void Settings::browseLogFileDirectory() {
    const QString chosen = chooseExistingDirectory(QDir(shown.logFileDirectory).absolutePath());
    if (chosen.isEmpty())
        return;
    chosenLogDirectory = chosen;
    ui->lineLogFile->setText(chosen);
    qCDebug(dk61Settings) << chosen;
}

void Settings::browseFlagFile_csvDirectory() {
    const QString chosen = chooseExistingDirectory(QDir(shown.flagFileDirectory).absolutePath());
    if (chosen.isEmpty())
        return;
    chosenFlagDirectory = chosen;
    shownFlagDirectory = chosen;
    ui->lineFlagFile->setText(chosen);
}

void Settings::applyChanges() {
    SettingsValues chosen = shown;
    if (!chosenLogDirectory.isEmpty())
        chosen.logFileDirectory = chosenLogDirectory;
    if (!chosenFlagDirectory.isEmpty())
        chosen.flagFileDirectory = chosenFlagDirectory;
    if (!takeTypedFields(&chosen))
        return;
    chosen.storeLogFile = ui->checkBoxStoreLogFile->isChecked();
    chosen.storeFlagFile = ui->checkBoxStoreFlagFile->isChecked();
    chosen.reconnect = ui->checkBox_Reset_Conn->isChecked();
    chosen.baudRate = chosenBaud;
    chosen.reportAtRunEnd = ui->checkBoxReportAtRunEnd->isChecked();
    qCDebug(dk61Settings) << "apply" << chosen.baudRate;
    emit changesApplied(shown, chosen);
    close();
}
