#include "platform/process_exit.h"

#include <cstdio>
#include <cstdlib>

namespace kaptor::platform {

void RealProcessExit::exit(int status) {
    std::fflush(nullptr);
    std::exit(status);
}

}  // namespace kaptor::platform
