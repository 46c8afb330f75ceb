#ifndef TRAFFICLOGEDIT_H
#define TRAFFICLOGEDIT_H

#include <QPlainTextEdit>

// The Data Log view: read-only plain text, laid out a line at a time (only the lines in sight are
// laid out, so adding a line to a full view costs the same as to an empty one), with a band of
// controls above the text and one below it, inside the view's frame.
class TrafficLogEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TrafficLogEdit(QWidget* parent = nullptr);

    // The bands take the height they ask for; either may be null.
    void setBands(QWidget* top, QWidget* bottom);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void placeBands();

    QWidget* top = nullptr;
    QWidget* bottom = nullptr;
};

#endif // TRAFFICLOGEDIT_H
