#ifndef SETTINGS_H
#define SETTINGS_H

#include "settings/settingsstore.h"

#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>

class QLabel;
class QLineEdit;

namespace Ui {
class Settings;
} // namespace Ui

// The settings window: log and flag directories and switches, the link's bit rate and whether to
// reconnect after changing it, the limits on the flag rates, where the results of the runs go.
// Built afresh on every opening with the values to show; "Apply" hands them back as chosen
// (changesApplied) and closes the window, which alone does not store or change anything.
class Settings : public QMainWindow {
    Q_OBJECT

public:
    Settings(const SettingsValues& shown, QWidget* parent);
    ~Settings() override;

    // The bit-rate list: index and rate map one to one. A rate not in the list shows as index 13
    // ("128000"); an index outside the list counts as 128000.
    static int baudForIndex(int index);
    static int indexForBaud(int baud);

    // Asks for a directory (title, start directory); an empty answer means cancelled. Replaceable
    // so that the window can be driven without a modal chooser.
    using DirectoryChooser = std::function<QString(QWidget*, const QString&, const QString&)>;
    void setDirectoryChooser(DirectoryChooser chooser);

signals:
    // Apply: what the window showed and what the operator chose.
    void changesApplied(const SettingsValues& shown, const SettingsValues& chosen);

private:
    void browseLogFileDirectory();
    void browseFlagFile_csvDirectory();
    void applyChanges();
    void limitLines();
    // What Apply takes from the typed fields into `chosen`: a flag directory typed over the one
    // shown (it must exist), the limits (blank or a percentage) and the results database (a
    // location the tool can use, without a password). False, with the reason shown,
    // for anything else; then Apply changes nothing.
    bool takeTypedFields(SettingsValues* chosen);
    // The flag directory as last shown by the window itself.
    QString shownFlagDirectory;
    // Shows the chooser at `start`; the chosen directory, or an empty text when there is none.
    QString chooseExistingDirectory(const QString& start);

    std::unique_ptr<Ui::Settings> ui;
    DirectoryChooser chooseDirectory;
    // The values as the window was opened with them.
    const SettingsValues shown;
    // A log directory taken from the chooser (the line shows it but cannot be typed in).
    QString chosenLogDirectory;
    // A flag directory taken from the chooser.
    QString chosenFlagDirectory;
    // The rate chosen in the list; a stored rate that is not in it stays until another is chosen.
    int chosenBaud = 128000;
    // The limit fields in the order of FlagLimits.
    QLineEdit* limitLine[5] = {};
    QLabel* limitLabel[5] = {};
};

#endif // SETTINGS_H
