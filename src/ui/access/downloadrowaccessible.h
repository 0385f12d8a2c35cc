#pragma once

#include <QAccessibleWidget>

class MenuBarRow;

// A row of the latest-downloads list: an item named by its file, which a
// press opens, as a click or Return does.
class DownloadRowAccessible final : public QAccessibleWidget
{
public:
    explicit DownloadRowAccessible(MenuBarRow *row);

    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString &name) override;
};
