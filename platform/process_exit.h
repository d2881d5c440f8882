// The fatal paths of the control end the host process with a status through this one seam, so
// tests and hosts can see it happen.
#pragma once

namespace kaptor::platform {

class ProcessExit {
  public:
    virtual ~ProcessExit() = default;
    [[noreturn]] virtual void exit(int status) = 0;
};

// Flushes the standard streams and ends the process.
class RealProcessExit : public ProcessExit {
  public:
    [[noreturn]] void exit(int status) override;
};

// Thrown instead of ending the process: unwinds to whoever hosts the control.
struct ProcessExitRequested {
    int status;
};

class ThrowingProcessExit : public ProcessExit {
  public:
    [[noreturn]] void exit(int status) override { throw ProcessExitRequested{status}; }
};

}  // namespace kaptor::platform
