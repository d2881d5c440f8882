// Form1, the test program's one window: the capture control KAPTORAX1 hosted through the
// system's ActiveX container window, the buttons "Adquiere" and "Set Placa", and Image1.
#pragma once

#include <windows.h>

#include <oleauto.h>

namespace kaptor::kapshot {

class Form1 {
  public:
    Form1() = default;
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;
    ~Form1();

    // Creates the window and its elements, hidden; false, with a message shown, when the
    // control cannot be created.
    bool create(HINSTANCE instance);
    // Points the control at its files and initialises the board, then shows the window.
    void load(int show);
    HWND window() const { return window_; }

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void createElements(HWND window);
    void onAdquiere();
    void onSetPlaca();
    void report(const wchar_t* text) const;

    HINSTANCE instance_ = nullptr;
    HWND window_ = nullptr;
    HWND control_ = nullptr;  // the container window of KAPTORAX1
    HWND image_ = nullptr;
    IDispatch* dispatch_ = nullptr;  // owned reference to KAPTORAX1's dispatch interface
};

}  // namespace kaptor::kapshot
