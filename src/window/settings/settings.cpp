#include "settings/settings.h"

#include "common/plaintext.h"
#include "resultslocation.h"
#include "shell/logging.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

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
    checkBoxReportAtRunEnd->setChecked(shown.reportAtRunEnd);

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

// Laid out so that every text shows whole at the window's size, whatever the font: the window
// grows where its texts need more room.
void Settings::buildWidgets() {
    setObjectName("Settings");
    setWindowTitle("Settings");
    auto* central = new QWidget(this);
    central->setObjectName("centralwidget");
    setCentralWidget(central);

    auto named = [](auto* widget, const char* name) {
        widget->setObjectName(QString::fromLatin1(name));
        return widget;
    };
    label_2 = named(new QLabel("Log File"), "label_2");
    QFont big = label_2->font();
    big.setPointSize(14);
    label_2->setFont(big);
    checkBoxStoreLogFile = named(new QCheckBox("Create Log File"), "checkBoxStoreLogFile");
    label = named(new QLabel("Store Log File at:"), "label");
    lineLogFile = named(new QLineEdit, "lineLogFile");
    buttonLogFileBrowse = named(new QPushButton("Browse..."), "buttonLogFileBrowse");
    checkBoxStoreFlagFile =
        named(new QCheckBox("Create .csv  File to store Flags"), "checkBoxStoreFlagFile");
    label_3 = named(new QLabel("Store Flags at:"), "label_3");
    lineFlagFile = named(new QLineEdit, "lineFlagFile");
    buttonFlagFileBrowse = named(new QPushButton("Browse..."), "buttonFlagFileBrowse");
    labelResultsDatabase = named(new QLabel("Results database:"), "labelResultsDatabase");
    lineResultsDatabase = named(new QLineEdit, "lineResultsDatabase");
    lineResultsDatabase->setPlaceholderText("results.sqlite in the application data folder");
    lineResultsDatabase->setAccessibleName("Results database");
    labelResultsDatabase->setBuddy(lineResultsDatabase);
    checkBoxReportAtRunEnd =
        named(new QCheckBox("Report at the end of each run"), "checkBoxReportAtRunEnd");
    checkBoxReportAtRunEnd->setAccessibleName(checkBoxReportAtRunEnd->text());
    checkBoxReportAtRunEnd->setToolTip(
        "Writes each run's report PDF into the Reports folder beside the Logs and Flags folders");
    label_4 = named(new QLabel("Baud:"), "label_4");
    baudRateComboBox = named(new QComboBox, "baudRateComboBox");
    for (int rate : BaudRates)
        baudRateComboBox->addItem(QString::number(rate));
    checkBox_Reset_Conn =
        named(new QCheckBox("Reset Connection after Buadrate Change (recommended)"),
              "checkBox_Reset_Conn");
    checkBox_Reset_Conn->setChecked(true);
    labelLimits = named(new QLabel("Limits in % (blank: none):"), "labelLimits");
    labelSettingsError = named(new QLabel, "labelSettingsError");
    labelSettingsError->setStyleSheet("QLabel {color: red}");
    labelSettingsError->setWordWrap(true);
    buttonApplyChanges = named(new QPushButton("Apply"), "buttonApplyChanges");
    buttonCancelChanges = named(new QPushButton("Cancel"), "buttonCancelChanges");

    // the files: a check box, then the folder with its chooser; the results database
    auto* files = new QGridLayout;
    files->setContentsMargins(10, 0, 0, 0);
    files->setColumnStretch(1, 1);
    files->addWidget(checkBoxStoreLogFile, 0, 0, 1, 3);
    files->addWidget(label, 1, 0);
    files->addWidget(lineLogFile, 1, 1);
    files->addWidget(buttonLogFileBrowse, 1, 2);
    files->addWidget(checkBoxStoreFlagFile, 2, 0, 1, 3);
    files->addWidget(label_3, 3, 0);
    files->addWidget(lineFlagFile, 3, 1);
    files->addWidget(buttonFlagFileBrowse, 3, 2);
    files->addWidget(labelResultsDatabase, 4, 0);
    files->addWidget(lineResultsDatabase, 4, 1, 1, 2);

    // the link on the left, the limits on the right
    auto* link = new QGridLayout;
    link->addWidget(label_4, 0, 0);
    link->addWidget(baudRateComboBox, 0, 1);
    link->setColumnStretch(2, 1);
    link->addWidget(checkBox_Reset_Conn, 1, 0, 1, 3);
    link->addWidget(checkBoxReportAtRunEnd, 2, 0, 1, 3);
    link->setRowStretch(3, 1);
    auto* limits = new QGridLayout;
    limits->addWidget(labelLimits, 0, 0, 1, 4);
    const char* const names[5] = {"C1", "uncorr. C1", "C2", "uncorr. C2", "interpol."};
    const char* const labelNames[5] = {"labelLimitC1", "labelLimitC1U", "labelLimitC2",
                                       "labelLimitC2U", "labelLimitInterp"};
    const char* const lineNames[5] = {"lineLimitC1", "lineLimitC1U", "lineLimitC2", "lineLimitC2U",
                                      "lineLimitInterp"};
    for (int k = 0; k < 5; ++k) {
        labelLimit[k] = named(new QLabel(names[k]), labelNames[k]);
        lineLimit[k] = named(new QLineEdit, lineNames[k]);
        lineLimit[k]->setMaximumWidth(70);
        labelLimit[k]->setBuddy(lineLimit[k]);
        lineLimit[k]->setAccessibleName(QStringLiteral("%1 limit in %").arg(names[k]));
        const int column = k < 3 ? 0 : 2;
        limits->addWidget(labelLimit[k], 1 + k % 3, column);
        limits->addWidget(lineLimit[k], 1 + k % 3, column + 1);
    }
    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(10, 0, 0, 0);
    middle->addLayout(link);
    middle->addSpacing(20);
    middle->addLayout(limits);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(buttonApplyChanges);
    buttons->addWidget(buttonCancelChanges);

    auto* page = new QVBoxLayout(central);
    page->addWidget(label_2);
    page->addLayout(files);
    page->addLayout(middle);
    page->addWidget(labelSettingsError);
    page->addStretch(1);
    page->addLayout(buttons);
    resize(685, 365);
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
    chosen.reportAtRunEnd = checkBoxReportAtRunEnd->isChecked();
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
