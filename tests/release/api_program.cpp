// A program of a libkaptor user: one picture from the simulated board, its size on standard
// output. Built by program_check.sh with the flags pkg-config gives.
#include <kaptor/kaptor.h>

#include <cstdio>

// An error ends it through std::terminate, which shows the error's text.
int main() {
    kaptor::Session session({.board = kaptor::Board::Simulated});
    session.initialize();
    const kaptor::Picture picture = session.capture();
    std::printf("%d x %d\n", picture.width, picture.height);
}
