#ifndef CD_BOARD_H
#define CD_BOARD_H

#include "boardframe.h"
#include "indexedlist.h"

#include <QByteArray>
#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QSerialPort>
#include <QTime>
#include <QTimer>
#include <QVector>

class Control_Panel;
class CFlags;

// The disc contents reported by 0xAD.
class Toc : public QObject {
    Q_OBJECT
public:
    explicit Toc(QObject* parent = nullptr) : QObject(parent) {}
    bool flag_a = false;
    bool flag_b = false;
    bool read = false;
    qint32 value_1 = 0;
    qint32 tracks = 0;
    qint32 value_5 = 0;
    qint32 value_6 = 0;
    qint32 value_7 = 0;
    qint32 value_8 = 0;
    QList<qint32> entries;
};

// The protocol engine: both serial links, the paced transmit queue, the receive framing and the
// response decoder with the board state it fills.
class CD_Board : public QObject {
    Q_OBJECT

public:
    explicit CD_Board(Control_Panel* parent);
    ~CD_Board() override;

    // ================= transport (cd_board.cpp) =================
    Control_Panel* window = nullptr;
    QSerialPort port;
    QSerialPort otherPort;
    int baudRate = 128000;
    QByteArray sendBuffer;
    qint64 sendLength = 0;
    QList<QByteArray> txFrames;
    QList<int> txLengths;
    // Every request written so far, addressed by absolute index (read by the traffic view).
    IndexedList<QByteArray> sentFrames;
    IndexedList<int> sentLengths;
    bool transmitterIdle = true;
    QTimer pacingTimer;
    QTimer tagTimer;
    bool has_FW_Version = false;
    bool userConnect = false;
    bool userDisconnect = false;
    bool noBoard = false;
    bool noBoardReported = false;

    void setPortName(const QString& name);
    void setPortName_other(const QString& name);
    void setBaudRate(int baud);
    void applyPortSettings();
    void applyOtherPortSettings();
    void openPort();
    void openOtherPort();
    void closePort();
    bool isPortOpen() const;
    bool isOtherPortOpen() const;
    void send2(qint64 length);
    void send2();
    void sendShortRequest(int n);
    void sendFlagInterval(int n);
    // Set when a port error closed the link (cleared by the next successful open or by the
    // operator's toggle); the window keeps looking for the adapter while it is set.
    bool linkLost = false;
    bool otherLinkLost = false;
    // Whether a port error leaves the port unusable (unplugged, broken pipe, refused open).
    static bool breaksLink(QSerialPort::SerialPortError error);

    // ================= reception (cd_board.cpp) =================
    QByteArray receiveBuffer;
    QByteArray otherReceiveBuffer;
    QByteArray lastRead;
    qint64 lastReadCount = 0;
    // What the traffic view shows for show_debug_message(): the receive buffer at that moment.
    QByteArray debugText;
    // Every complete frame received from either link, addressed by absolute index.
    IndexedList<BoardFrame> commands;

    // ================= decoder and board state (cd_board_decode.cpp) =================
    qint64 parse_index = 0;
    QTime current_time{0, 0, 0};
    QTime track_clock;
    QTime flag_clock{0, 0, 0};
    // Seconds of flag_clock counted without the wrap at midnight.
    quint64 flag_seconds = 0;
    qint32 current_track = 0;
    quint8 fw_version = 0;
    quint8 tray_state = 0;
    quint8 disc_state = 0;
    bool tick_pending = false;
    bool track_change_pending = false;
    bool tag_complete = false;
    bool time_received = false;
    bool track_received = false;
    bool wrong_board = false;
    bool board_answered = false;
    quint8 disc_id_bytes[4] = {0, 0, 0, 0};
    quint32 disc_id = 0;
    bool disc_id_known = false;
    Toc toc;
    quint8 eeprom_state = 0;
    bool eeprom_write_denied = false;
    qint32 service_step = -1;
    qint32 last_custom_command = 0x57;
    QList<quint8> possible_loaders;
    bool loader_list_complete = false;
    quint8 loader_type = 0;
    bool loader_type_known = false;
    quint8 pending_loader_type = 0;
    bool loader_from_eeprom = false;
    double laser_current_mA = 0.0;
    float laser_slope = 0.175889f;
    float laser_offset = 2.07312f;
    // the EEPROM image (memory replies)
    quint8 eeprom_loader_code = 0;
    quint8 audio_byte = 0;
    quint8 settings_spare = 0xFF;
    quint8 baud_flag = 0xFF;
    quint8 focus_setting_to_write = 0xFF;
    quint8 production_bytes[8] = {};
    quint16 customer_id = 0;
    quint16 production_day = 0;
    quint16 flashed_by = 0;
    quint16 serial_number = 0;
    quint64 runtime_s = 0;
    bool adc_1_sampling = false;
    bool adc_2_sampling = false;
    QList<double> adc_1_samples;
    QList<double> adc_2_samples;
    bool history_reading = false;
    qint8 history_page = 34;
    quint8 history_values[256] = {};
    quint8 history_values_t[16][16] = {};
    bool awaiting_runtime = false;
    bool awaiting_zero_byte = false;
    bool history_reset_1 = false;
    bool history_reset_2 = false;
    bool history_reset_3 = false;
    bool history_reset_half = false;
    bool play_with_init = false;
    quint8 focus_setting = 0;
    QList<CFlags*> flag_records;
    // How often the decoder handed a record to the flag file writer and to the plot.
    qint64 flagFileCalls = 0;
    qint64 flagPlotCalls = 0;

    void parseCommand();
    // Frames cut from bytes received on the board link (read_data passes what it read).
    void receiveChunk(const QByteArray& chunk);
    void parseEepromParameters(const BoardFrame& frame);
    void setBaudFlag(quint8 flag);
    void setFocusSettingToWrite(quint8 value);
    void readLaserHistory();
    void readZeroByte();
    void resetLaserHistory();
    void eraseNextHistoryHalf();
    void clearPlayTime(int part);
    void writeZeroByte(quint8 value);

signals:
    void connected_to_serial_port();
    void disconnected_from_serial_port();
    void connected_to_serial_port_other();
    void disconnected_from_serial_port_other();
    void transmission_error();
    void transmission_error_other();
    void send_bytes_ready();
    void parse_complete();
    void parse_complete_other();
    void show_debug_message();

    void recieved_fw_version();
    void recievedDiscID();
    void module_off();
    void service_mode_step(int step);
    void laser_push();
    void recievedLaserCurrent();
    void recievedSufficientAdc_1Samples();
    void recievedSufficientAdc_2Samples();
    void recieved_ev_loader_ok();
    void recieved_tray_status();
    void retrievedloaderTypeFromEeprom();
    void recievedEepromParameters(int num);
    void display_info_changed();
    void retrievedBaudrateSetting();
    void retrievedFocParamSetting();
    void retrievedProductionCode();
    void retrievedRuntime();
    void retrievedLaserParamters();

public slots:
    void sendData();
    void askforTag();
    void connect_disconnect();
    void connect_disconnect_other();
    void trans_error(QSerialPort::SerialPortError error);
    void trans_error_other(QSerialPort::SerialPortError error);
    void read_data();
    void read_data_other();

private:
    QMetaObject::Connection readyReadConnection;
    QMetaObject::Connection otherReadyReadConnection;

    // ---- decoder (cd_board_decode.cpp, cd_board_memory.cpp) ----
    void sendRequest(const QByteArray& frame);
    void dispatch(const BoardFrame& frame);
    void discStateReset();
    void handleFirmwareVersion(const QByteArray& bytes);
    void handleMemoryResult(const BoardFrame& frame);
    void handleHistoryRow(const QByteArray& bytes);
    void handleHistoryReset();
    void handleEepromConfirmation(const BoardFrame& frame);
    void handleAdcReading(const QByteArray& bytes);
    void handleCFlags(const QByteArray& bytes, bool fromFlagBoard);
    void handleLoaderList(const QByteArray& bytes);
    void handleLoaderType(const QByteArray& bytes);
    void showLoaderLabel(quint8 code, const QString& prefix);
    void sendFollowUps();

    // ---- link (cd_board.cpp) ----
    bool portFailurePending = false;
    bool otherPortFailurePending = false;
    bool framing = false;
    bool framingOther = false;
    void closeLink();
    void dropBrokenPort();
    void dropBrokenOtherPort();
    void restoreOtherReadyRead();
    // Cuts every complete frame out of `buffer` into `commands`, parsing each at once.
    void cutFrames(QByteArray& buffer);
};

#endif // CD_BOARD_H
