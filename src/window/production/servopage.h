#ifndef SERVOPAGE_H
#define SERVOPAGE_H

#include <QWidget>

#include <memory>

class Focus_Coefs;

namespace Ui {
class ServoPage;
}

// The servo parameter page: the value lists of the servo settings (fixed ones and computed
// ones), two of which feed the focus coefficient byte, on an area the two scroll bars move.
class ServoPage : public QWidget {
    Q_OBJECT

public:
    explicit ServoPage(Focus_Coefs& coefs, QWidget* parent = nullptr);
    ~ServoPage() override;

    // The area moved left / up by `value` pixels.
    void scrollAcross(int value);
    void scrollDown(int value);
    // The scroll bars along the right and bottom edges of a window of W x H.
    void fitWindow(int W, int H);

private:
    std::unique_ptr<Ui::ServoPage> ui;
};

#endif // SERVOPAGE_H
