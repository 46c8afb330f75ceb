#include "console/loaderpanel.h"

#include "console/loaderchoice.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QSettings>

LoaderPanel::LoaderPanel(const QVector<QAction*>& loaders, const QVector<QAction*>& pickups,
                         QSettings& settings, QObject* parent)
    : QObject(parent), loaders(loaders), pickups(pickups), settings(settings) {
    // Each action checks itself and unchecks the others of its group, and stores its nibble.
    const std::pair<const QVector<QAction*>*, const QVector<LoaderChoice::Action>*> groups[] = {
        {&loaders, &LoaderChoice::loaderActions()}, {&pickups, &LoaderChoice::pickupActions()}};
    for (const auto& [actions, table] : groups) {
        auto* group = new QActionGroup(this);
        group->setExclusive(true);
        for (int i = 0; i < actions->size() && i < table->size(); ++i) {
            QAction* action = actions->at(i);
            const LoaderChoice::Action entry = table->at(i);
            group->addAction(action);
            connect(action, &QAction::triggered, this, [this, entry] {
                this->settings.setValue(QString::fromLatin1(entry.key), entry.value);
            });
        }
    }
}

void LoaderPanel::addMenus(QMenu* options) {
    const struct {
        const char* title;
        const char* name;
        const QVector<QAction*>& actions;
        const QVector<LoaderChoice::Action>& table;
    } menus[] = {{"Loader", "menuLoader", loaders, LoaderChoice::loaderActions()},
                 {"Pickup", "menuPickup", pickups, LoaderChoice::pickupActions()}};
    for (const auto& entry : menus) {
        QMenu* menu = options->addMenu(QString::fromLatin1(entry.title));
        menu->setObjectName(QString::fromLatin1(entry.name));
        for (int i = 0; i < entry.actions.size() && i < entry.table.size(); ++i) {
            QAction* action = entry.actions.at(i);
            menu->addAction(action);
            // The choice stored by an earlier session keeps its mark.
            bool stored = false;
            const int value =
                settings.value(QString::fromLatin1(entry.table.at(i).key)).toInt(&stored);
            action->setChecked(stored && value == entry.table.at(i).value);
        }
    }
}
