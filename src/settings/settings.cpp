#include "settings.h"

#include "logging.h"
#include "plaintext.h"
#include "resultslocation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

const int Settings::BaudRates[15] = {300,   600,   1200,  2400,  4800,   9600,   14400, 19200,
                                     28800, 38400, 56000, 57600, 115200, 128000, 256000};

namespace {
const int DefaultBaud = 128000;
const int DefaultBaudIndex = 13;
const int BaudCount = static_cast<int>(sizeof(Settings::BaudRates) / sizeof(int));
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
    : QMainWindow(parent), shown(shown) {
    qCDebug(dk61Settings) << "settings.cpp" << parent << this;
    setAttribute(Qt::WA_DeleteOnClose);
    chooseDirectory = [](QWidget* owner, const QString& title, const QString& start) {
        return QFileDialog::getExistingDirectory(owner, title, start, QFileDialog::ShowDirsOnly);
    };
    buildWidgets();
    // What the operator typed comes back in the error line as it is.
    PlainText::labels(this);
    lineLogFile->setReadOnly(true);

    lineLogFile->setText(QDir(shown.logFileDirectory).absolutePath());
    checkBoxStoreLogFile->setChecked(shown.storeLogFile);
    shownFlagDirectory = QDir(shown.flagFileDirectory).absolutePath();
    lineFlagFile->setText(shownFlagDirectory);
    checkBoxStoreFlagFile->setChecked(shown.storeFlagFile);
    for (int k = 0; k < 5; ++k)
        lineLimit[k]->setText(FlagLimits::text(shown.limits.percent[size_t(k)]));
    lineResultsDatabase->setText(shown.resultsDatabase);

    reconnect = reconnectPending = shown.reconnect;
    checkBox_Reset_Conn->setChecked(reconnect);

    qCDebug(dk61Settings) << "baudrate:" << shown.baudRate;
    currentBaud = newBaud = shown.baudRate;
    baudRateComboBox->setCurrentIndex(indexForBaud(currentBaud));

    connect(buttonCancelChanges, &QPushButton::clicked, this, &Settings::cancelChanges);
    connect(buttonLogFileBrowse, &QPushButton::clicked, this, &Settings::browseLogFileDirectory);
    connect(buttonApplyChanges, &QPushButton::clicked, this, &Settings::applyChanges);
    connect(checkBoxStoreLogFile, &QCheckBox::toggled, this, &Settings::toggleStoreLogFile);
    connect(checkBoxStoreFlagFile, &QCheckBox::clicked, this, &Settings::toggleStoreFlagFile_csv);
    connect(buttonFlagFileBrowse, &QPushButton::clicked, this,
            &Settings::browseFlagFile_csvDirectory);
    connect(baudRateComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &Settings::handle_baudRateChanged);
    connect(checkBox_Reset_Conn, &QCheckBox::clicked, this, &Settings::handle_Recon_Baud);
}

Settings::~Settings() = default;

void Settings::buildWidgets() {
    setObjectName("Settings");
    setWindowTitle("Settings");
    resize(685, 365);
    auto* central = new QWidget(this);
    central->setObjectName("centralwidget");
    setCentralWidget(central);

    auto place = [central](auto* widget, const char* name, int x, int y, int w, int h) {
        widget->setParent(central);
        widget->setObjectName(QString::fromLatin1(name));
        widget->setGeometry(x, y, w, h);
        return widget;
    };
    label_2 = place(new QLabel("Log File"), "label_2", 40, 20, 101, 31);
    QFont big = label_2->font();
    big.setPointSize(14);
    label_2->setFont(big);
    checkBoxStoreLogFile =
        place(new QCheckBox("Create Log File"), "checkBoxStoreLogFile", 50, 60, 121, 17);
    label = place(new QLabel("Store Log File at:"), "label", 50, 80, 101, 16);
    lineLogFile = place(new QLineEdit, "lineLogFile", 150, 80, 431, 20);
    buttonLogFileBrowse =
        place(new QPushButton("Browse..."), "buttonLogFileBrowse", 590, 80, 75, 23);
    checkBoxStoreFlagFile = place(new QCheckBox("Create .csv  File to store Flags"),
                                  "checkBoxStoreFlagFile", 50, 110, 181, 17);
    label_3 = place(new QLabel("Store Flags at:"), "label_3", 50, 130, 101, 16);
    lineFlagFile = place(new QLineEdit, "lineFlagFile", 150, 130, 431, 20);
    buttonFlagFileBrowse =
        place(new QPushButton("Browse..."), "buttonFlagFileBrowse", 590, 130, 75, 23);
    label_4 = place(new QLabel("Baud:"), "label_4", 50, 180, 47, 13);
    baudRateComboBox = place(new QComboBox, "baudRateComboBox", 100, 175, 101, 22);
    for (int rate : BaudRates)
        baudRateComboBox->addItem(QString::number(rate));
    checkBox_Reset_Conn =
        place(new QCheckBox("Reset Connection after Buadrate Change (recommended)"),
              "checkBox_Reset_Conn", 50, 220, 311, 17);
    checkBox_Reset_Conn->setChecked(true);
    buttonApplyChanges = place(new QPushButton("Apply"), "buttonApplyChanges", 490, 270, 75, 23);
    buttonCancelChanges = place(new QPushButton("Cancel"), "buttonCancelChanges", 590, 270, 75, 23);

    labelLimits = place(new QLabel("Limits in % (blank: none):"), "labelLimits", 400, 160, 265, 16);
    const char* const names[5] = {"C1", "uncorr. C1", "C2", "uncorr. C2", "interpol."};
    const char* const labelNames[5] = {"labelLimitC1", "labelLimitC1U", "labelLimitC2",
                                       "labelLimitC2U", "labelLimitInterp"};
    const char* const lineNames[5] = {"lineLimitC1", "lineLimitC1U", "lineLimitC2", "lineLimitC2U",
                                      "lineLimitInterp"};
    for (int k = 0; k < 5; ++k) {
        const int x = k < 3 ? 400 : 540;
        const int y = 180 + (k % 3) * 23;
        labelLimit[k] = place(new QLabel(names[k]), labelNames[k], x, y + 2, 70, 16);
        lineLimit[k] = place(new QLineEdit, lineNames[k], x + 70, y, 55, 20);
        labelLimit[k]->setBuddy(lineLimit[k]);
        lineLimit[k]->setAccessibleName(QStringLiteral("%1 limit in %").arg(names[k]));
    }
    labelResultsDatabase =
        place(new QLabel("Results database:"), "labelResultsDatabase", 50, 250, 100, 16);
    lineResultsDatabase = place(new QLineEdit, "lineResultsDatabase", 150, 248, 330, 20);
    lineResultsDatabase->setPlaceholderText("results.sqlite in the application data folder");
    lineResultsDatabase->setAccessibleName("Results database");
    labelResultsDatabase->setBuddy(lineResultsDatabase);
    labelSettingsError = place(new QLabel, "labelSettingsError", 50, 305, 615, 40);
    labelSettingsError->setStyleSheet("QLabel {color: red}");
    labelSettingsError->setWordWrap(true);
}

bool Settings::takeTypedFields(SettingsValues* chosen) {
    auto refuse = [this](const QString& why) {
        labelSettingsError->setText(why);
        labelSettingsError->setAccessibleName(why);
        return false;
    };
    const QString typed = lineFlagFile->text().trimmed();
    if (typed != shownFlagDirectory) {
        const QFileInfo info(typed);
        if (typed.isEmpty() || !info.isDir())
            return refuse(
                QStringLiteral("Flags cannot be stored at \"%1\": no such directory.").arg(typed));
        chosen->flagFileDirectory = info.absoluteFilePath();
    }
    for (int k = 0; k < 5; ++k) {
        const QString why = FlagLimits::refusal(labelLimit[k]->text(), lineLimit[k]->text(),
                                                &chosen->limits.percent[size_t(k)]);
        if (!why.isEmpty())
            return refuse(why);
    }
    const QString results = lineResultsDatabase->text().trimmed();
    const ResultsLocation location = ResultsLocation::parse(results);
    if (location.kind == ResultsLocation::Kind::Invalid)
        return refuse(
            QStringLiteral("The results database cannot be used: %1").arg(location.error));
    chosen->resultsDatabase = results;
    labelSettingsError->clear();
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
    newLogDirectory = chosen;
    lineLogFile->setText(chosen);
    logDirChanged = true;
    qCDebug(dk61Settings) << chosen;
}

void Settings::browseFlagFile_csvDirectory() {
    const QString chosen = chooseExistingDirectory(QDir(shown.flagFileDirectory).absolutePath());
    if (chosen.isEmpty())
        return;
    newFlagDirectory = chosen;
    shownFlagDirectory = chosen;
    lineFlagFile->setText(chosen);
    flagDirChanged = true;
}

void Settings::cancelChanges() {
    close();
}

void Settings::applyChanges() {
    SettingsValues chosen = shown;
    if (logDirChanged)
        chosen.logFileDirectory = newLogDirectory;
    if (flagDirChanged)
        chosen.flagFileDirectory = newFlagDirectory;
    if (!takeTypedFields(&chosen))
        return;
    // Each click on a switch turns it over.
    chosen.storeLogFile = shown.storeLogFile != storeLogToggled;
    chosen.storeFlagFile = shown.storeFlagFile != storeFlagToggled;
    chosen.reconnect = reconnectPending;
    chosen.baudRate = newBaud;
    qCDebug(dk61Settings) << "apply" << logDirChanged << flagDirChanged << baudChanged;
    emit changesApplied(shown, chosen);
    close();
}

void Settings::toggleStoreLogFile() {
    qCDebug(dk61Settings) << "changed store log file";
    storeLogToggled = !storeLogToggled;
}

void Settings::toggleStoreFlagFile_csv() {
    storeFlagToggled = !storeFlagToggled;
}

void Settings::handle_baudRateChanged(int index) {
    qCDebug(dk61Settings) << "Baudrate QCombobox";
    newBaud = baudForIndex(index);
    baudChanged = newBaud != currentBaud;
    qCDebug(dk61Settings) << "Baudrate Temp:" << newBaud << "Baudrate     :" << currentBaud;
}

void Settings::handle_Recon_Baud(bool checked) {
    qCDebug(dk61Settings) << "settings.cpp"
                          << "LINE" << __LINE__ << "checkbox set to" << checked;
    reconnectPending = checkBox_Reset_Conn->isChecked();
}
