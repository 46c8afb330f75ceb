#include "console/consolepage.h"

#include "cd_board.h"
#include "common/windowfit.h"
#include "console/commandcatalogue.h"
#include "console/datalogtools.h"
#include "console/playerpanel.h"
#include "console/trafficline.h"
#include "console/trafficview.h"
#include "laser/laserlist.h"
#include "laser/zerohourbyte.h"
#include "shell/logging.h"
#include "ui_consolepage.h"

#include <QMenu>

#include <algorithm>

namespace {

const char* const Red = "QLabel  { color: red}";
const char* const Green = "QLabel  { color: green}";

} // namespace

ConsolePage::ConsolePage(CD_Board& board, PlayerPanel& player, LaserList& readings,
                         const Services& services, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::ConsolePage>()), board(board), readings(readings),
      services(services) {
    ui->setupUi(this);
    // The console font is asked for by name; where it is not installed a fixed-pitch face stands
    // in.
    QFont consoleFont = ui->textBrowser->font();
    consoleFont.setStyleHint(QFont::Monospace);
    ui->textBrowser->setFont(consoleFont);
    trafficView = new TrafficView(ui->textBrowser, MaxLines, this);
    dataLogTools = new DataLogTools(ui->textBrowser, *trafficView, services.logDirectory, this);
    ui->CustomInputWarningLabel->clear();
    // what this tool does not offer
    for (QWidget* unused : {ui->buttonRecordLaser, ui->buttonWriteToRegister})
        unused->hide();
    ui->labelPLL->hide();
    ui->groupBoxTest->hide();

    connect(&board, &CD_Board::show_debug_message, this, &ConsolePage::takeDebugText);
    connect(&board, &CD_Board::send_bytes_ready, this, &ConsolePage::takeSent);
    connect(ui->SendButton, &QPushButton::clicked, this, &ConsolePage::sendTyped);
    connect(ui->InputText, &QLineEdit::returnPressed, this, &ConsolePage::sendTyped);
    connect(ui->InputText, &QLineEdit::textChanged, this, &ConsolePage::formatTyped);
    connect(ui->InputText, &SLineEdit::pressedUp, this, &ConsolePage::recallOlder);
    connect(ui->InputText, &SLineEdit::pressedDown, this, &ConsolePage::recallNewer);
    connect(ui->btnTestfunctions, &QPushButton::clicked, this, &ConsolePage::testButtonsPressed);
    connect(ui->connect_disconnect, &QPushButton::clicked, this, &ConsolePage::connectPressed);
    wirePlayer(player);
    wireTestButtons();
    wireLaser();
}

ConsolePage::~ConsolePage() = default;

void ConsolePage::wirePlayer(PlayerPanel& player) {
    // Each of the play-mode menu's entries plays with its mode byte (00..07).
    using Mode = void (CD_Board::*)();
    const std::pair<const char*, Mode> modes[] = {
        {"Normal Play", &CD_Board::play_normalPlay},
        {"Shuffle All", &CD_Board::play_shuffleAll},
        {"Shuffle Repeat All Disc", &CD_Board::play_shuffleRepeatAllDisc},
        {"Shuffle Folder", &CD_Board::play_shuffleFolder},
        {"Shuffle Repeat All Folder", &CD_Board::play_shuffleRepeatAllFolder},
        {"Repeat Disc", &CD_Board::play_repeatDisc},
        {"Repeat Folder", &CD_Board::play_repeatFolder},
        {"Repeat Track", &CD_Board::play_repeatTrack}};
    auto* menu = new QMenu(ui->ExpertButtonPlay);
    for (const auto& [text, slot] : modes)
        connect(menu->addAction(QString::fromLatin1(text)), &QAction::triggered, &board, slot);
    // The Play button carries the menu, which takes its presses.
    ui->ExpertButtonPlay->setMenu(menu);
    const std::pair<QPushButton*, void (PlayerPanel::*)()> buttons[] = {
        {ui->ExpertButtonStop, &PlayerPanel::stop},
        {ui->ExpertButtonPlay, &PlayerPanel::playPause},
        {ui->ExpertButtonNext, &PlayerPanel::next},
        {ui->ExpertButtonPrevious, &PlayerPanel::previous},
        {ui->ExpertButtonPause, &PlayerPanel::pause},
        {ui->ExpertButtonOpen, &PlayerPanel::openTray},
        {ui->ExperButtonClose, &PlayerPanel::closeTray},
        {ui->ExpertEvTag, &PlayerPanel::askDiscContents}};
    for (const auto& [button, slot] : buttons)
        connect(button, &QPushButton::clicked, &player, slot);
    connect(ui->checkBoxPlayInit, &QCheckBox::toggled, &player, &PlayerPanel::setPlayInit);
    connect(ui->checkBoxPlayInit, &QCheckBox::clicked, &player, &PlayerPanel::takePlayInit);
    connect(&player, &PlayerPanel::pllShown, this,
            [this](const QString& text, const QString& styleSheet) {
                ui->labelPLL->setText(text);
                ui->labelPLL->setStyleSheet(styleSheet);
            });
}

// One application command per button, sent through the typed-request line so that the operator
// sees and can recall it like a typed one.
void ConsolePage::wireTestButtons() {
    const std::pair<QPushButton*, QLineEdit*> commands[] = {
        {ui->btnClickPlay, ui->txtInputPlay},
        {ui->btnClickPlayTrackXY, ui->txtInputPlayTrackXY},
        {ui->btnClickPause, nullptr},
        {ui->btnClickStop, nullptr},
        {ui->btnClickNext, nullptr},
        {ui->btnClickPrevious, nullptr},
        {ui->btnClickSearchForward, ui->txtInputSearchForward},
        {ui->btnClickSearchBackward, ui->txtInputSearchBackward},
        {ui->btnClickSetTrackXY, ui->txtInputSetTrackXY},
        {ui->btnClickAddProgramXY, ui->txtInputAddProgramXY},
        {ui->btnClickClearProgram, nullptr},
        {ui->btnClickSearchUser, ui->txtInputSearchUser},
        {ui->btnClickGotoTime, ui->txtInputGotoTime},
        {ui->btnClickGetState, nullptr},
        {ui->btnClickGetDiscContents, nullptr},
        {ui->btnClickGetPlayMode, nullptr},
        {ui->btnClickGetDiscID, nullptr},
        {ui->btnClickGetTrackLengthXY, ui->txtInputGetTrackLengthXY},
        {ui->btnClickGetTagXY, ui->txtInputGetTagXY},
        {ui->btnClickGetCurrentTrackFolderNumber, nullptr},
        {ui->btnClickGetCurrentTime, ui->txtInputGetCurrentTime},
        {ui->btnClickGetTrackLengthXYFrames, ui->txtInputGetTrackLengthXYFrames},
        {ui->btnClickGetFWVersion, nullptr},
        {ui->btnClickGetProgramDetails, nullptr},
        {ui->btnClickGetCurrentTimeFrames, ui->txtInputGetCurrentTimeFrames},
        {ui->btnClickTrayOpen, ui->txtInputTrayOpen},
        {ui->btnClickTrayClose, ui->txtInputTrayClose},
        {ui->btnClickIsDiscStopped, nullptr},
        {ui->btnClickAudioMute, ui->txtInputAudioMute},
        {ui->btnClickGetLaserCurrent, nullptr},
        {ui->btnClickGetBLER, nullptr},
        {ui->btnClickPreparePowerDown, nullptr},
        {ui->btnClickSetLoaderType, ui->txtInputSetLoaderType},
        {ui->btnClickCmdDecoder, ui->txtInputCmdDecoder},
        {ui->btnClickReturnPossibleLoaders, nullptr},
        {ui->btnClickCalibrateLoader, ui->txtInputCalibrateLoader},
        {ui->btnClickSetAudiobyte, ui->txtInputSetAudiobyte}};
    for (const auto& [button, input] : commands) {
        connect(button, &QPushButton::clicked, this, [this, button = button, input = input] {
            qCDebug(dk61Console) << button->objectName();
            sendText(
                CommandCatalogue::text(button->objectName(), input ? input->text() : QString()));
        });
    }
}

void ConsolePage::wireLaser() {
    zeroHourByte = new QLabel(this);
    zeroHourByte->setObjectName(QStringLiteral("labelZeroHourByte"));
    // down to "PlayInit", over the register button and the PLL label this build never shows
    zeroHourByte->setGeometry(706, 298, 170, 52);
    zeroHourByte->setWordWrap(true);
    zeroHourByte->hide();
    connect(ui->ExpertGetLaser, &QPushButton::clicked, this, &ConsolePage::requestCurrent);
    connect(&board, &CD_Board::recievedLaserCurrent, this, &ConsolePage::showCurrent);
    connect(&board, &CD_Board::laser_push, this, &ConsolePage::showAverage);
    connect(&readings, &LaserList::pushed, this, &ConsolePage::showCount);
    connect(ui->pushButtonFlush, &QPushButton::clicked, &readings, &LaserList::flush);
    connect(ui->btnLaserToEeprom, &QPushButton::clicked, this, &ConsolePage::writeZeroHourByte);
    connect(&board, &CD_Board::zeroByteWriteEnded, this, &ConsolePage::zeroHourByteWritten);
}

// ---------------------------------------------------------------------------------------------
// The view and the log file

void ConsolePage::show(const QStringList& lines) {
    if (!lines.isEmpty() && ui->chkLog->isChecked())
        trafficView->add(lines);
}

void ConsolePage::takeReceived() {
    const FrameJournal& journal = board.journal();
    showReceived(TrafficFeed::received(journal.received(), journal.decodePosition(), board.state(),
                                       services.elapsedMs(), &received));
}

// The displays show the board state after the whole batch.
void ConsolePage::showReceived(const TrafficFeed::Received& update) {
    if (update.any)
        emit positionShown(update.time, update.track);
    if (!update.laserCurrent.isEmpty())
        ui->labelLaserCurrent->setText(update.laserCurrent);
    show(update.lines);
    services.logLines(update.lines);
    board.journal().dropReceivedBefore(update.dropBefore);
}

// Recall starts after the newest request again.
void ConsolePage::takeSent() {
    FrameJournal& journal = board.journal();
    const TrafficFeed::Sent update =
        TrafficFeed::sent(journal.sentFrames(), journal.sentLengths(), services.elapsedMs(), &sent);
    show(update.lines);
    services.logLines(update.lines);
    recalled = sent;
    journal.dropSentBefore(update.dropBefore);
}

void ConsolePage::takeDebugText() {
    show({TrafficLine::received(services.elapsedMs(), board.debugText())});
}

// ---------------------------------------------------------------------------------------------
// The typed-request line

void ConsolePage::sendText(const QString& text) {
    ui->InputText->setText(text);
    sendTyped();
}

void ConsolePage::sendTyped() {
    if (!ui->InputText->text().isEmpty())
        sendRequest(HexInput::request(ui->InputText->text()));
}

void ConsolePage::sendRequest(const HexInput::Request& request) {
    if (!request.warning.isEmpty())
        ui->CustomInputWarningLabel->setText(request.warning);
    // Nothing but blanks or other characters: there is no request to send.
    if (request.bytes.isEmpty())
        return;
    board.state().service.last_custom_command = request.mark;
    board.sendRequest(request.bytes);
    if (ui->CheckBoxClear->isChecked())
        ui->InputText->clear();
    ui->CustomInputWarningLabel->clear();
}

void ConsolePage::formatTyped() {
    if (!ui->InputText->text().isEmpty())
        ui->InputText->setText(HexInput::format(ui->InputText->text()));
}

void ConsolePage::recallOlder() {
    recall(TrafficFeed::older(board.journal().sentFrames(), recalled));
}

void ConsolePage::recallNewer() {
    recall(TrafficFeed::newer(board.journal().sentFrames(), recalled, sent));
}

void ConsolePage::recall(qint64 index) {
    if (index != recalled)
        ui->InputText->setText(TrafficFeed::recalled(board.journal().sentFrames(),
                                                     board.journal().sentLengths(), index));
    recalled = index;
    qCDebug(dk61Console) << "inputTextIndex: " << recalled << "sent_bytes_index: " << sent;
}

void ConsolePage::toggleTestButtons() {
    testShown = !testShown;
    // The larger window no larger than the screen holds; the window lays the page out again.
    WindowFit::resize(window(), testShown ? QSize(1500, 800) : QSize(900, 700));
    ui->groupBoxTest->setVisible(testShown);
    ui->btnTestfunctions->setText(testShown ? QStringLiteral("Hide Testbuttons")
                                            : QStringLiteral("Show Testbuttons"));
}

// ---------------------------------------------------------------------------------------------
// Laser current, the ring of the last 64 readings and the zero-hour byte

void ConsolePage::requestCurrent() {
    board.sendRequest(QByteArray::fromRawData("\x54\x00", 2));
}

void ConsolePage::showCurrent() {
    ui->labelLaserCurrent->setText(QString::number(board.state().laser.laser_current_mA, 'g', 6) +
                                   QStringLiteral(" mA"));
}

void ConsolePage::showAverage() {
    ui->lineLaserListAverage->setText(LaserList::averageText(readings.average()));
}

void ConsolePage::showCount(int count) {
    ui->labelAvgLaserHexValue->setText(LaserList::countText(count));
}

// The programming run's replies are its own.
void ConsolePage::writeZeroHourByte() {
    const ZeroHourByte::Value value = ZeroHourByte::fromAverage(readings.average());
    if (!value.valid)
        return;
    if (const QString busy = services.memoryBusy(); !busy.isEmpty()) {
        showZeroHourByte(busy, Red);
        return;
    }
    board.writeZeroByte(value);
    showZeroHourByte(ZeroHourByte::writingText(value), value.capped ? Red : "");
}

void ConsolePage::zeroHourByteWritten(bool written, const QString& text) {
    showZeroHourByte(text, written ? Green : Red);
}

void ConsolePage::showZeroHourByte(const QString& text, const char* styleSheet) {
    zeroHourByte->setStyleSheet(QString::fromLatin1(styleSheet));
    zeroHourByte->setText(text);
    zeroHourByte->show();
}

// ---------------------------------------------------------------------------------------------
// The window

void ConsolePage::showConnected(bool open) {
    ui->connect_disconnect->setText(open ? QStringLiteral("Disconnect")
                                         : QStringLiteral("Connect"));
}

void ConsolePage::showServiceWarning(bool shown) {
    ui->ServiceModeWarningLabel_2->setVisible(shown);
}

void ConsolePage::showTrafficOnly(const QSize& window) {
    for (QWidget* control : std::initializer_list<QWidget*>{ui->ExpertButtonPlay,
                                                            ui->ExpertButtonPause,
                                                            ui->ExpertButtonStop,
                                                            ui->ExpertEvTag,
                                                            ui->ExpertButtonPrevious,
                                                            ui->ExpertButtonNext,
                                                            ui->ExpertButtonOpen,
                                                            ui->ExperButtonClose,
                                                            ui->checkBoxPlayInit,
                                                            ui->ExpertGetLaser,
                                                            ui->label_19,
                                                            ui->labelLaserCurrent,
                                                            ui->buttonRecordLaser,
                                                            ui->btnLaserToEeprom,
                                                            ui->labelAvgLaserHexValue,
                                                            ui->lineLaserListAverage,
                                                            ui->pushButtonFlush,
                                                            ui->buttonWriteToRegister,
                                                            ui->btnTestfunctions,
                                                            ui->labelPLL,
                                                            ui->ServiceModeWarningLabel_2,
                                                            ui->CustomInputWarningLabel,
                                                            ui->InputText,
                                                            ui->CheckBoxClear,
                                                            ui->SendButton,
                                                            ui->connect_disconnect})
        control->hide();
    ui->textBrowser->setGeometry(10, 30, window.width(), window.height());
}

void ConsolePage::fitWindow(const QSize& page, int W, int H) {
    // The column beside the view ("show data" and the buttons below it, and whatever was put
    // there) keeps to the right edge, left of the test buttons while they are shown; the view
    // takes the width left of it.
    if (column.isEmpty()) {
        for (QWidget* widget : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (widget->x() >= ui->chkLog->x() && widget->y() < ui->CustomInputWarningLabel->y() &&
                widget != ui->groupBoxTest && widget != ui->textBrowser)
                column.append({widget, widget->x() - ui->chkLog->x()});
        }
    }
    QGroupBox* tests = ui->groupBoxTest;
    tests->move(W - tests->width() - 20, tests->y());
    const int columnRight = (testShown ? tests->x() : page.width()) - 20;
    const int columnX = columnRight - ui->chkLog->width();
    int columnBottom = 0;
    for (const auto& [widget, offset] : column) {
        widget->move(columnX + offset, widget->y());
        if (!widget->isHidden())
            columnBottom = std::max(columnBottom, widget->geometry().bottom());
    }
    QWidget* view = ui->textBrowser;
    view->resize(std::max(0, columnX - 10 - view->x()), H - 210);

    // The typed-request line below the view, narrowed where the column or the page's edge would
    // cut it.
    const int rowY = H - 189;
    const int rowRight = rowY - 20 > columnBottom ? columnRight : columnX - 10;
    const int buttons = ui->SendButton->width() + ui->connect_disconnect->width() + 20;
    ui->InputText->setGeometry(210, rowY, std::min(430, rowRight - 210 - buttons),
                               ui->InputText->height());
    const int inputRight = ui->InputText->geometry().right() + 1;
    ui->SendButton->move(inputRight + 10, rowY);
    ui->connect_disconnect->move(ui->SendButton->geometry().right() + 11, rowY);
    ui->CheckBoxClear->move(210, H - 159);
    ui->CustomInputWarningLabel->setGeometry(210, rowY - 20, std::min(500, rowRight - 210),
                                             ui->CustomInputWarningLabel->height());
}
