#ifndef LOADERPANEL_H
#define LOADERPANEL_H

#include <QObject>

class CD_Board;
class QComboBox;
class QLabel;
class QMenu;
class QSettings;
class QWidget;

// The loader choice: the board's list of loaders on the EEPROM page (a combo entry and a line of
// the list label per supported code, behind the placeholder "None"), the loader the EEPROM names,
// and the loader and pickup actions, which remember the choice in the settings (in the service
// build under Options > Loader and Options > Pickup).
class LoaderPanel : public QObject {
    Q_OBJECT

public:
    struct Parts {
        QWidget* window; // holds the form's loader and pickup actions
        QComboBox* loaders;
        QLabel* list;
    };

    LoaderPanel(const Parts& parts, CD_Board& board, QSettings& settings,
                QObject* parent = nullptr);

    void clear();
    void add(const QString& text, int code);
    // Makes the entry of a loader code current; the placeholder is never selected this way.
    bool select(int code);
    // The operator chose entry `index`: its code becomes the board's loader type.
    void choose(int index);
    // The loader the EEPROM names; true when it is the one calibrated from the tool.
    bool showEepromLoader();
    // The service build's Loader and Pickup submenus, each action marked as stored.
    void addMenus(QMenu* options);

private:
    Parts p;
    CD_Board& board;
    QSettings& settings;
};

#endif // LOADERPANEL_H
