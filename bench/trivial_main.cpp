// The yardstick for start-up: a C++ program that does nothing, built as kaptor is.
#include <iostream>

int main() {
    std::cout << std::flush;
    return 0;
}
