#include "cd_board.h"

#include "logging.h"

void CD_Board::parseCommand() {
    while (parse_index < commands.size())
        ++parse_index;
    emit display_info_changed();
}
