#include "BrackwinApplication.h"
#include "Form1.h"

int main(int argc, char** argv) {
    brackwin::BrackwinApplication app(argc, argv);
    brackwin::Form1 window;
    window.show();
    return app.exec();
}
