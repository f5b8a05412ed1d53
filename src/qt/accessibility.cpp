#include "qt/accessibility.h"

#include "qt/mail_text_accessible.h"
#include "qt/mail_text_edit.h"

#include <QAccessibleWidget>
#include <QLabel>

namespace venmarra {
namespace {

class WithRole final : public QAccessibleWidget {
public:
    WithRole(QWidget *widget, QAccessible::Role role)
        : QAccessibleWidget(widget, role)
    {
    }

    QString text(QAccessible::Text part) const override
    {
        if (part == QAccessible::Name && role() == QAccessible::StatusBar)
            return static_cast<const QLabel *>(widget())->text();  // what the line shows
        return QAccessibleWidget::text(part);
    }
};

QAccessibleInterface *withRole(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (className == QLatin1String("venmarra::StatusLabel"))
        return new WithRole(widget, QAccessible::StatusBar);
    if (className == QLatin1String("venmarra::Form1") || className == QLatin1String("venmarra::Form2"))
        return new WithRole(widget, QAccessible::Window);
    if (className == QLatin1String("venmarra::MailTextEdit"))
        return new MailTextAccessible(static_cast<MailTextEdit *>(widget));
    if (className == QLatin1String("venmarra::Announcer"))
        return new WithRole(widget, QAccessible::Notification);
    return nullptr;
}

}  // namespace

void installAccessibleRoles()
{
    QAccessible::installFactory(&withRole);
    installMailTextEvents();
}

}  // namespace venmarra
