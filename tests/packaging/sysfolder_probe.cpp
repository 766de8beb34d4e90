// Prints the install folder the program's folder lookup finds, for the install checks: copied
// beside the staged program, it answers as the program would.
#include <iostream>

#include "clsSystemFolder.h"

int main() {
    std::cout << brackwin::clsSystemFolder().VB5Install() << '\n';
}
