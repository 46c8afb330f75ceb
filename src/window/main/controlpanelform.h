#ifndef CONTROLPANELFORM_H
#define CONTROLPANELFORM_H

class QMainWindow;

// The main window's form on its own: builds every page, widget, menu and action of the form onto
// a bare window (found by their object names), and labels them again. The window itself uses the
// generated form class directly; this is for looking at the form alone.
class ControlPanelForm {
public:
    static void setUp(QMainWindow* window);
    static void retranslate(QMainWindow* window);
};

#endif // CONTROLPANELFORM_H
