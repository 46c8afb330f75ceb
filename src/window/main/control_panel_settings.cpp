// The main window's side of the settings: it takes the values read from the store and applies
// what the settings window hands back.
#include "cd_board.h"
#include "flags/resultspage.h"
#include "flags/runsession.h"
#include "main/control_panel.h"
#include "settings/programfolders.h"
#include "settings/settings.h"
#include "ui_control_panel.h"

#include <QSettings>

void Control_Panel::wireSettings() {
    connect(ui->optionsSettings, &QAction::triggered, this, &Control_Panel::openSettings);
}

void Control_Panel::openSettings() {
    auto* window = new Settings(SettingsStore::loadForWindow(*settings), this);
    connect(window, &Settings::changesApplied, this, &Control_Panel::applySettings);
    window->show();
}

void Control_Panel::takeSettings(const SettingsValues& values) {
    currentSettings = values;
    files.setSettings(values);
    // No saved file may take the place of the directories in force either.
    ProgramFolders::setConfigured({values.logFileDirectory, values.flagFileDirectory});
    ui->labelLogFile->setVisible(values.storeLogFile);
    if (runSession)
        runSession->setLimits(values.limits);
}

// Files close where they move or are switched off, the links take a new rate; then the window
// takes the settings as stored and opens the files they ask for.
void Control_Panel::applySettings(const SettingsValues& shown, const SettingsValues& chosen) {
    const SettingsChange change = SettingsStore::save(*settings, shown, chosen);
    if (change.closesLogFile)
        closeLogFile();
    if (change.closesFlagFile)
        closeFlagFile();
    if (change.resetsBaudRate)
        resetBaudrate(chosen.baudRate, chosen.reconnect);
    if (change.resetsBaudRate && !chosen.reconnect)
        update_connection_label();
    takeSettings(SettingsStore::load(*settings));
    if (change.reopensResults)
        resultsPage->open(currentSettings.resultsDatabase);
    openLogFile();
    openFlagFile();
}
