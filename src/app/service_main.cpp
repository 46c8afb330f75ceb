#include "main/toolmain.h"

// The service build: the same program with every page of the window.
int main(int argc, char* argv[]) {
    return toolMain(argc, argv, Control_Panel::Configuration::Service);
}
