#include "itemlistaccessible.h"

#include <QAccessibleActionInterface>
#include <QWidget>

namespace {

// One file of the list, found again by its key whenever it is asked.
class ItemAccessible final : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    ItemAccessible(const ItemListAccessible *list, QByteArray key)
        : m_list(list), m_key(std::move(key))
    {
    }

    bool isValid() const override { return row() >= 0; }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_list->window(); }
    QAccessibleInterface *parent() const override
    {
        return const_cast<ItemListAccessible *>(m_list);
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        const int at = row();
        if (at < 0 || t != QAccessible::Name)
            return {};
        return m_list->items().name(at);
    }
    void setText(QAccessible::Text, const QString &) override {}

    QRect rect() const override
    {
        const int at = row();
        const auto *widget = static_cast<const QWidget *>(m_list->object());
        if (at < 0 || !widget)
            return {};
        const QRect local = m_list->items().rect(at);
        return QRect(widget->mapToGlobal(local.topLeft()), local.size());
    }

    QAccessible::Role role() const override { return m_list->items().itemRole; }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        const int at = row();
        if (at < 0) {
            s.invalid = true;
            return s;
        }
        const ItemListAccessible::Items &items = m_list->items();
        s.selectable = true;
        s.selected = items.selected && items.selected(at);
        s.focusable = true;
        s.focused = items.current && items.current() == at;
        const auto *widget = static_cast<const QWidget *>(m_list->object());
        if (widget && !widget->rect().intersects(items.rect(at))) {
            s.invisible = true;
            s.offscreen = true;
        }
        if (items.checked) {
            if (const std::optional<bool> on = items.checked(at)) {
                s.checkable = true;
                s.checked = *on;
            }
        }
        return s;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface
                   ? static_cast<QAccessibleActionInterface *>(this)
                   : nullptr;
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (m_list->items().press)
            names.append(pressAction());
        if (m_list->items().toggle)
            names.append(toggleAction());
        return names;
    }

    void doAction(const QString &name) override
    {
        const int at = row();
        if (at < 0)
            return;
        if (name == pressAction() && m_list->items().press)
            m_list->items().press(at);
        else if (name == toggleAction() && m_list->items().toggle)
            m_list->items().toggle(at);
    }

    QStringList keyBindingsForAction(const QString &) const override { return {}; }

    int row() const
    {
        const ItemListAccessible::Items &items = m_list->items();
        return items.rowOf(m_key);
    }

private:
    const ItemListAccessible *m_list;
    QByteArray m_key;
};

} // namespace

ItemListAccessible::ItemListAccessible(QWidget *widget, const QString &name, Items items)
    : QAccessibleWidget(widget, QAccessible::List, name), m_name(name), m_items(std::move(items))
{
}

ItemListAccessible::~ItemListAccessible()
{
    for (const QAccessible::Id id : std::as_const(m_children))
        QAccessible::deleteAccessibleInterface(id);
}

int ItemListAccessible::childCount() const
{
    // The widget's own children (a header with the page title, a search
    // field) come first, the files after them.
    return QAccessibleWidget::childCount() + m_items.count();
}

QAccessibleInterface *ItemListAccessible::child(int index) const
{
    const int widgets = QAccessibleWidget::childCount();
    if (index < widgets)
        return QAccessibleWidget::child(index);
    const int row = index - widgets;
    if (row < 0 || row >= m_items.count())
        return nullptr;
    const QByteArray key = m_items.key(row);
    if (const auto found = m_children.constFind(key); found != m_children.cend())
        return QAccessible::accessibleInterface(*found);
    auto *made = new ItemAccessible(this, key);
    m_children.insert(key, QAccessible::registerAccessibleInterface(made));
    return made;
}

int ItemListAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    if (!child)
        return -1;
    if (child->object())
        return QAccessibleWidget::indexOfChild(child);
    if (child->parent() != this)
        return -1;
    const int row = static_cast<const ItemAccessible *>(child)->row();
    return row < 0 ? -1 : QAccessibleWidget::childCount() + row;
}

QAccessibleInterface *ItemListAccessible::childAt(int x, int y) const
{
    const int row = m_items.rowAt ? m_items.rowAt(widget()->mapFromGlobal(QPoint(x, y))) : -1;
    if (row >= 0)
        return child(QAccessibleWidget::childCount() + row);
    return QAccessibleWidget::childAt(x, y);
}

QString ItemListAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name && !m_name.isEmpty())
        return m_name;
    return QAccessibleWidget::text(t);
}
