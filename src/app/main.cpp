#include "main/toolmain.h"

int main(int argc, char* argv[]) {
    return toolMain(argc, argv, Control_Panel::Configuration::Delivered);
}
