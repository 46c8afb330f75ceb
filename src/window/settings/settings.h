#ifndef SETTINGS_H
#define SETTINGS_H

#include "settings/settingsstore.h"

#include <QMainWindow>
#include <QString>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The settings window: log and flag directories and switches, the link's bit rate and whether to
// reconnect after changing it, the limits on the flag rates, where the results of the runs go.
// Built afresh on every opening with
// the values to show; "Apply" hands them back as chosen (changesApplied) and closes the window,
// which alone does not store or change anything.
class Settings : public QMainWindow {
    Q_OBJECT

public:
    Settings(const SettingsValues& shown, QWidget* parent);
    ~Settings() override;

    // The bit-rate list: index and rate map one to one. A rate not in the list shows as index 13
    // ("128000"); an index outside the list counts as 128000.
    static const int BaudRates[15];
    static int baudForIndex(int index);
    static int indexForBaud(int baud);

    // Asks for a directory (title, start directory); an empty answer means cancelled. Replaceable
    // so that the window can be driven without a modal chooser.
    std::function<QString(QWidget*, const QString&, const QString&)> chooseDirectory;

    // The values as the window was opened with them.
    const SettingsValues shown;
    int currentBaud = 128000;
    int newBaud = 128000;
    bool baudChanged = false;
    bool reconnect = true;
    bool reconnectPending = true;
    QString newLogDirectory;
    QString newFlagDirectory;
    bool logDirChanged = false;
    bool flagDirChanged = false;
    bool storeLogToggled = false;
    bool storeFlagToggled = false;

    // ---- widgets ----
    QLabel* label_2 = nullptr;
    QCheckBox* checkBoxStoreLogFile = nullptr;
    QLabel* label = nullptr;
    QLineEdit* lineLogFile = nullptr;
    QPushButton* buttonLogFileBrowse = nullptr;
    QCheckBox* checkBoxStoreFlagFile = nullptr;
    QLabel* label_3 = nullptr;
    QLineEdit* lineFlagFile = nullptr;
    QPushButton* buttonFlagFileBrowse = nullptr;
    QLabel* label_4 = nullptr;
    QComboBox* baudRateComboBox = nullptr;
    QCheckBox* checkBox_Reset_Conn = nullptr;
    QPushButton* buttonApplyChanges = nullptr;
    QPushButton* buttonCancelChanges = nullptr;
    // Limits on the flag rates in percent (blank: none), and why Apply refused what was typed.
    QLabel* labelLimits = nullptr;
    QLabel* labelLimit[5] = {};
    QLineEdit* lineLimit[5] = {};
    QLabel* labelSettingsError = nullptr;
    // The results database: a postgresql:// address or sqlite:/path (blank: the file in the
    // application data folder).
    QLabel* labelResultsDatabase = nullptr;
    QLineEdit* lineResultsDatabase = nullptr;
    // Each run's report PDF is written when it ends.
    QCheckBox* checkBoxReportAtRunEnd = nullptr;

signals:
    // Apply: what the window showed and what the operator chose.
    void changesApplied(const SettingsValues& shown, const SettingsValues& chosen);

public slots:
    void browseLogFileDirectory();
    void browseFlagFile_csvDirectory();
    void cancelChanges();
    void applyChanges();
    void toggleStoreLogFile();
    void toggleStoreFlagFile_csv();
    void handle_baudRateChanged(int index);
    void handle_Recon_Baud(bool checked);

private:
    void buildWidgets();
    // What Apply takes from the typed fields into `chosen`: a flag directory typed over the one
    // shown (it must exist), the limits (blank or a percentage) and the results database (a
    // location the tool can use, without a password). False, with the reason shown,
    // for anything else; then Apply changes nothing.
    bool takeTypedFields(SettingsValues* chosen);
    // The flag directory as last shown by the window itself.
    QString shownFlagDirectory;
    // Shows the chooser at `start`; the chosen directory, or an empty text when there is none.
    QString chooseExistingDirectory(const QString& start);
};

#endif // SETTINGS_H
