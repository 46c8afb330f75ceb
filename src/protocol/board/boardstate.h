#ifndef BOARDSTATE_H
#define BOARDSTATE_H

#include "board/toc.h"
#include "laser/lasercalibration.h"
#include "production/eepromlayout.h"

#include <QList>
#include <QTime>

// What the decoder knows about the board, grouped by the subsystem that uses it.

// Player: play time, track, tray, disc and the status polling the board's ticks call for.
struct PlayerState {
    // Invalid until the board has reported a time: the displays stay empty until then.
    QTime current_time;
    // The time on the disc (0xAC with p0 = 1); invalid until reported and after a new disc.
    QTime disc_time;
    QTime track_clock;
    qint32 current_track = 0;
    quint8 tray_state = 0;
    quint8 disc_state = 0;
    bool tick_pending = false;
    bool track_change_pending = false;
    bool tag_complete = false;
    bool time_received = false;
    bool track_received = false;
    quint8 disc_id_bytes[4] = {0, 0, 0, 0};
    quint32 disc_id = 0;
    bool disc_id_known = false;
    bool play_with_init = false;
};

// Whether the board on the link is the right one and has answered (the firmware watchdog).
struct LinkWatch {
    quint8 fw_version = 0;
    bool has_FW_Version = false;
    bool wrong_board = false;
    bool board_answered = false;
    // The watchdog found no board / has reported it; any frame clears both.
    bool noBoard = false;
    bool noBoardReported = false;
    // The operator asked to connect while the link was closed / closed it.
    bool userConnect = false;
    bool userDisconnect = false;

    // The operator pressed connect (`opening`) or disconnect.
    void operatorToggled(bool opening) {
        noBoard = false;
        userConnect = opening;
        userDisconnect = !opening;
    }
};

// The flag board: status of the last 14-byte record and the measurement clock.
struct FlagBoardState {
    int flag_sub_status = 1;
    int flag_error = 0;
    bool flag_data_seen = false;
    int flag_fw_version = 0;
    bool flag_fw_shown = false;
    QTime flag_clock{0, 0, 0};
    // Seconds of flag_clock counted without the wrap at midnight.
    quint64 flag_seconds = 0;
};

// Loader and pickup codes: what the board supports, uses and has stored.
struct LoaderState {
    QList<quint8> possible_loaders;
    bool loader_list_complete = false;
    quint8 loader_type = 0;
    bool loader_type_known = false;
    quint8 pending_loader_type = 0;
    bool loader_from_eeprom = false;
    quint8 eeprom_loader_code = 0;
};

// Laser current: the live reading, the calibration k and d, the two calibration points.
struct LaserState {
    double laser_current_mA = 0.0;
    float laser_slope = 0.175889f;
    float laser_offset = 2.07312f;
    // While a point samples, the readings go to it instead of the ring and the live current.
    LaserCalibration calibration;
};

// The EEPROM: its parameter image as last read, and which blocks were read since the link opened
// (a run writes the settings block's spare byte and the laser calibration back as read).
struct EepromState {
    EepromParameters image;
    bool eeprom_write_denied = false;
    bool settings_read = false;
    bool focus_read = false;
    bool production_read = false;
    bool laser_read = false;
};

// Service mode.
struct ServiceState {
    qint32 service_step = -1;
    qint32 last_custom_command = 0x57;
};

struct BoardState {
    PlayerState player;
    LinkWatch link;
    FlagBoardState flags;
    LoaderState loader;
    LaserState laser;
    EepromState eeprom;
    ServiceState service;
    Toc toc;

    // The board link went down: what was learnt about the board on it is forgotten.
    void linkDropped() {
        link.wrong_board = link.noBoardReported = false;
        flags.flag_data_seen = false;
        loader.loader_type_known = false;
        loader.loader_type = 0;
    }
};

#endif // BOARDSTATE_H
