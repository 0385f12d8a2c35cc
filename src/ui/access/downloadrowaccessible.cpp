#include "downloadrowaccessible.h"

#include "tray/menubarrow.h"

DownloadRowAccessible::DownloadRowAccessible(MenuBarRow *row) : QAccessibleWidget(row, QAccessible::ListItem) {}

QAccessible::State DownloadRowAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.focusable = true;
    s.focused = widget()->hasFocus();
    return s;
}

QStringList DownloadRowAccessible::actionNames() const
{
    return {pressAction()};
}

void DownloadRowAccessible::doAction(const QString &name)
{
    if (name == pressAction())
        static_cast<MenuBarRow *>(widget())->open();
}
