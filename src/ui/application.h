#pragma once

#include "mailbox/main_window_logic.h"
#include "ui/form1.h"

namespace venmarra {

// The main window wired to its logic.
class Application {
public:
    explicit Application(Toolkit &toolkit, ServiceSettings service = {});

    // Loads the main window and shows it, centred.
    void start();

    Form1 &form1() { return m_form1; }
    MainWindowLogic &logic() { return m_logic; }

private:
    Form1 m_form1;
    MainWindowLogic m_logic;
};

}  // namespace venmarra
