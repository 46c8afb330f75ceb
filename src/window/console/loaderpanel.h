#ifndef LOADERPANEL_H
#define LOADERPANEL_H

#include <QObject>
#include <QVector>

class QAction;
class QMenu;
class QSettings;

// The loader and pickup actions, which remember the choice in the settings (in the service build
// under Options > Loader and Options > Pickup). Each list is given in the order of
// LoaderChoice's tables.
class LoaderPanel : public QObject {
    Q_OBJECT

public:
    LoaderPanel(const QVector<QAction*>& loaders, const QVector<QAction*>& pickups,
                QSettings& settings, QObject* parent = nullptr);

    // The service build's Loader and Pickup submenus, each action marked as stored.
    void addMenus(QMenu* options);

private:
    QVector<QAction*> loaders;
    QVector<QAction*> pickups;
    QSettings& settings;
};

#endif // LOADERPANEL_H
