#include "BrackwinApplication.h"
#include "Form1Window.h"

int main(int argc, char** argv) {
    brackwin::BrackwinApplication app(argc, argv);
    brackwin::Form1Window window;
    window.show();
    return app.exec();
}
