#ifndef HELPMENU_H
#define HELPMENU_H

#include "settings/settingsstore.h"

#include <QString>

class QAction;
class QMainWindow;

// The main window's Help menu: the About box names the program, its version and where its
// settings and files go.
class HelpMenu {
public:
    // Adds the menu; returns its About action.
    static QAction* add(QMainWindow& window);
    static QString aboutText(bool service, const QString& settingsFile,
                             const SettingsValues& settings);
    static void showAbout(QMainWindow& window, const QString& text);
};

#endif // HELPMENU_H
