#ifndef SERIAL_SELECTOR_H
#define SERIAL_SELECTOR_H

#include "portenumerator.h"

#include <QDialog>
#include <QList>

class QComboBox;
class QLabel;
class QPushButton;

// The dialog that lets the operator pick one of several free USB-UART adapters. The list offers
// every free port, bridges and others alike, by name in the order of the scan.
class Serial_Selector : public QDialog {
    Q_OBJECT
public:
    explicit Serial_Selector(const QList<PortCandidate>& candidates);

    // Runs the dialog modally over `candidates`: true and the port chosen with "Connect", or
    // false when the dialog was closed without a choice (the adapter discovery's chooser).
    static bool choose(const QList<PortCandidate>& candidates, PortCandidate* chosen);

    // The free port the chosen entry names (empty before "Connect").
    PortCandidate chosenPort() const { return chosen; }

    QPushButton* pushButton = nullptr;
    QComboBox* comboBox = nullptr;
    QLabel* label = nullptr;

signals:
    void selected();

public slots:
    void return_selection();

private:
    QList<PortCandidate> freePorts;
    PortCandidate chosen;
};

#endif // SERIAL_SELECTOR_H
