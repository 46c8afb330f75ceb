#ifndef SERVICEMODEPAGE_H
#define SERVICEMODEPAGE_H

#include <QWidget>

#include <array>
#include <memory>

class QLabel;
class ServicePanel;

namespace Ui {
class ServiceModePage;
}

// The service mode page: start, next and exit, a button per step, and the marker beside the step
// the board reports (ServicePanel sends the commands and says what to show).
class ServiceModePage : public QWidget {
    Q_OBJECT

public:
    explicit ServiceModePage(ServicePanel& service, QWidget* parent = nullptr);
    ~ServiceModePage() override;

    // The marker beside `step` alone is shown (0: none).
    void markStep(int step);
    void showServiceWarning(bool shown);

private:
    std::array<QLabel*, 14> markers() const;

    std::unique_ptr<Ui::ServiceModePage> ui;
};

#endif // SERVICEMODEPAGE_H
