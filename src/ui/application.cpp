#include "ui/application.h"

#include "ui/twips.h"

namespace venmarra {

Application::Application(Toolkit &toolkit, ServiceSettings service)
    : m_logic(m_form1, toolkit, std::move(service))
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
