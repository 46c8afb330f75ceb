#include "console/loaderchoice.h"

bool LoaderChoice::choose(LoaderState& loader, quint8 code) {
    const bool listed = loader.loader_list_complete && loader.possible_loaders.contains(code);
    if (!listed && code != 0)
        return false;
    loader.loader_type = code;
    loader.loader_type_known = true;
    loader.pending_loader_type = 0;
    return true;
}

int LoaderChoice::entryToShow(int foundIndex) {
    return foundIndex >= 1 && foundIndex <= 62 ? foundIndex : 0;
}

const QVector<LoaderChoice::Action>& LoaderChoice::loaderActions() {
    static const QVector<Action> actions = {{"actionTray_Loader", "loader_type", 0},
                                            {"actionTop_Loader", "loader_type", 2},
                                            {"actionSlot_Loader", "loader_type", 4},
                                            {"actionTray_Loader_Tria", "loader_type", 8}};
    return actions;
}

const QVector<LoaderChoice::Action>& LoaderChoice::pickupActions() {
    static const QVector<Action> actions = {{"actionSony_KHM", "opu_type", 1},
                                            {"actionSanyo_HD850", "opu_type", 2},
                                            {"actionSanyo_DA11", "opu_type", 4}};
    return actions;
}
