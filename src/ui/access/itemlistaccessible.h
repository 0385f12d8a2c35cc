#pragma once

#include <functional>
#include <optional>
#include <QAccessibleWidget>
#include <QByteArray>
#include <QHash>

// A painted list of files as a screen reader sees it: a list whose children
// are the files, each named with what a sighted user reads, selected or
// checked as drawn, with a default action. Children are made only when a
// client asks for them and are known by their path, so a list of a million
// files costs nothing until it is read, and a child still names its own file
// after the list changed.
class ItemListAccessible final : public QAccessibleWidget
{
public:
    struct Items
    {
        std::function<int()> count;
        // The identity of the file at a row, and the row of an identity (-1 when gone).
        std::function<QByteArray(int)> key;
        std::function<int(const QByteArray &)> rowOf;
        std::function<QString(int)> name;
        // Where the row is drawn, in the widget's coordinates.
        std::function<QRect(int)> rect;
        // The row under a point of the widget; -1 for none.
        std::function<int(const QPoint &)> rowAt;
        std::function<bool(int)> selected;
        // The row the keyboard is on while the widget has the focus; -1 for none.
        std::function<int()> current;
        // Present for rows that are check boxes.
        std::function<std::optional<bool>(int)> checked;
        // The default action (opens the file, or keeps the copy); toggles a check box.
        std::function<void(int)> press;
        std::function<void(int)> toggle;
        QAccessible::Role itemRole = QAccessible::ListItem;
    };

    ItemListAccessible(QWidget *widget, const QString &name, Items items);
    ~ItemListAccessible() override;

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QString text(QAccessible::Text t) const override;

    const Items &items() const { return m_items; }

private:
    QString m_name;
    Items m_items;
    mutable QHash<QByteArray, QAccessible::Id> m_children;
};
