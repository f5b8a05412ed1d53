#include "qt/application.h"

#include "qt/window_placement.h"

namespace venmarra {

Application::Application(Toolkit &toolkit, ServiceSettings service)
    : m_logic(m_form1, toolkit, ServiceAccess {m_exchange, m_charsets}, std::move(service))
{
    m_form1.attach(&m_logic);
}

void Application::start()
{
    m_logic.Form_Load();
    centreOnScreen(&m_form1);
    m_form1.show();
}

}  // namespace venmarra
