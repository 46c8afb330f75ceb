#ifndef SERIAL_INFO_H
#define SERIAL_INFO_H

#include <QList>
#include <QObject>
#include <QSerialPortInfo>

class Serial_Selector;

// Finds the USB-UART bridges among the serial ports and chooses the one the next open uses.
class Serial_Info : public QObject {
    Q_OBJECT
public:
    explicit Serial_Info(QObject* parent = nullptr);
    ~Serial_Info() override;

    void reset();
    void detect();
    QSerialPortInfo selectedPortInfo() const { return selectedPort; }
    int desiredCount() const { return desiredTotal; }
    int freeDesiredCount() const { return freeDesired; }

    Serial_Selector* selector = nullptr;
    QList<QSerialPortInfo> candidates;
    int desiredTotal = 0;
    int freeDesired = 0;
    int lastFreeDesired = 0;
    QSerialPortInfo selectedPort;
    bool hasRememberedPort = false;
    QSerialPortInfo* rememberedPort = nullptr;

public slots:
    void manual_selection();
};

#endif // SERIAL_INFO_H
