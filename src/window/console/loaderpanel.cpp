#include "console/loaderpanel.h"

#include "cd_board.h"
#include "console/loaderchoice.h"
#include "shell/logging.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QSettings>

namespace {

// Each entry carries its loader code as a one-character item data.
QString entryData(int code) {
    return QString(QChar(code & 0xFF));
}

} // namespace

LoaderPanel::LoaderPanel(const Parts& parts, CD_Board& board, QSettings& settings, QObject* parent)
    : QObject(parent), p(parts), board(board), settings(settings) {
    // Each action checks itself and unchecks the others of its group, and stores its nibble.
    for (const QVector<LoaderChoice::Action>* table :
         {&LoaderChoice::loaderActions(), &LoaderChoice::pickupActions()}) {
        auto* group = new QActionGroup(this);
        group->setExclusive(true);
        for (const LoaderChoice::Action& entry : *table) {
            QAction* action = p.window->findChild<QAction*>(QString::fromLatin1(entry.action));
            if (!action)
                continue;
            group->addAction(action);
            connect(action, &QAction::triggered, this, [this, entry] {
                this->settings.setValue(QString::fromLatin1(entry.key), entry.value);
            });
        }
    }
}

void LoaderPanel::clear() {
    p.list->clear();
    while (p.loaders->count() > 1)
        p.loaders->removeItem(1);
}

void LoaderPanel::add(const QString& text, int code) {
    p.loaders->addItem(text, entryData(code));
    p.list->setText(p.list->text() + text + "\n");
}

bool LoaderPanel::select(int code) {
    const int index = p.loaders->findData(entryData(code));
    qCDebug(dk61Console) << "loader entry" << index;
    if (index < 1)
        return false;
    p.loaders->setCurrentIndex(index);
    return true;
}

void LoaderPanel::choose(int index) {
    const QString data = p.loaders->itemData(index).toString();
    const quint8 code = data.isEmpty() ? 0 : static_cast<quint8>(data.at(0).toLatin1());
    qCDebug(dk61Console) << "set selected Loader Type to" << Qt::hex << code;
    board.chooseLoaderType(code);
}

bool LoaderPanel::showEepromLoader() {
    const quint8 code = board.state().loader.eeprom_loader_code;
    p.loaders->setCurrentIndex(LoaderChoice::entryToShow(p.loaders->findData(entryData(code))));
    return LoaderChoice::offersTrayCalibration(code);
}

void LoaderPanel::addMenus(QMenu* options) {
    const struct {
        const char* title;
        const char* name;
        const QVector<LoaderChoice::Action>& actions;
    } menus[] = {{"Loader", "menuLoader", LoaderChoice::loaderActions()},
                 {"Pickup", "menuPickup", LoaderChoice::pickupActions()}};
    for (const auto& entry : menus) {
        QMenu* menu = options->addMenu(QString::fromLatin1(entry.title));
        menu->setObjectName(QString::fromLatin1(entry.name));
        for (const LoaderChoice::Action& action : entry.actions) {
            QAction* a = p.window->findChild<QAction*>(QString::fromLatin1(action.action));
            if (!a)
                continue;
            menu->addAction(a);
            // The choice stored by an earlier session keeps its mark.
            bool stored = false;
            const int value = settings.value(QString::fromLatin1(action.key)).toInt(&stored);
            a->setChecked(stored && value == action.value);
        }
    }
}
