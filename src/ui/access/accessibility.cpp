#include "accessibility.h"

#include "components/kindtag.h"
#include "components/pageheader.h"
#include "downloadrowaccessible.h"
#include "files/fileinteractions.h"
#include "files/filelistdelegate.h"
#include "files/filelistview.h"
#include "files/previewpanel.h"
#include "home/storagebar.h"
#include "itemlistaccessible.h"
#include "model/fmt.h"
#include "pages/filelistmodel.h"
#include "previewaccessible.h"
#include "quick/quicksearchview.h"
#include "shell/siderow.h"
#include "shell/toast.h"
#include "tidy/dupgroupcard.h"
#include "tray/menubarrow.h"

#include <QAccessibleWidget>
#include <QScrollBar>

namespace {

// What a sighted user reads on a card or a row: the name, then kind, size and date.
QString spoken(const FileItem &item)
{
    const QStringList parts{item.displayName(), KindTag::label(item), Fmt::size(item.size()),
                            Fmt::shortDate(item.activity())};
    return parts.join(QStringLiteral(", "));
}

// A file list view's files, read from its model and placed by the view.
ItemListAccessible::Items fileItems(FileListView *view)
{
    ItemListAccessible::Items items;
    const FileListModel &model = view->model();
    items.count = [&model] { return model.rowCount(); };
    items.key = [&model](int row) { return model.item(row).path(); };
    items.rowOf = [&model](const QByteArray &path) { return model.rowOf(path); };
    items.name = [&model](int row) { return spoken(model.item(row)); };
    // The view's rectangles are in its viewport, which sits at the view's origin.
    items.rect = [view](int row) {
        return view->itemRect(row).toAlignedRect().translated(view->viewport()->pos());
    };
    items.rowAt = [view](const QPoint &at) {
        return view->rowAt(QPointF(at - view->viewport()->pos()));
    };
    items.selected = [view, &model](int row) {
        return view->selection().contains(model.item(row).path());
    };
    items.current = [view, &model] {
        const std::optional<QByteArray> anchor = view->anchor();
        return view->hasFocus() && anchor ? model.rowOf(*anchor) : -1;
    };
    return items;
}

QAccessibleInterface *fileList(FileListView *view)
{
    ItemListAccessible::Items items = fileItems(view);
    const FileListModel &model = view->model();
    // Cells that are check boxes (a review's ticks) toggle; files open.
    if (view->delegate().hasChecks()) {
        items.checked = [view, &model](int row) { return view->delegate().checked(model.item(row)); };
        items.toggle = [view, &model](int row) { view->delegate().toggle(model.item(row)); };
        items.press = items.toggle;
        items.itemRole = QAccessible::CheckBox;
    } else {
        items.press = [&model](int row) { FileInteractions::doubleClick(model.item(row)); };
    }
    return new ItemListAccessible(view, view->spokenName(), std::move(items));
}

QAccessibleInterface *copies(QWidget *cells, DupGroupCard *card)
{
    ItemListAccessible::Items items;
    items.count = [card] { return int(card->group().items.size()); };
    items.key = [card](int row) { return card->group().items.at(row).path(); };
    items.rowOf = [card](const QByteArray &path) {
        const QList<FileItem> &all = card->group().items;
        for (int i = 0; i < all.size(); ++i)
            if (all.at(i).path() == path)
                return i;
        return -1;
    };
    items.name = [card](int row) {
        const FileItem &item = card->group().items.at(row);
        return item.displayName() + QStringLiteral(", ") + item.pathString();
    };
    items.rect = [card](int row) { return card->cellRect(row).toAlignedRect(); };
    items.rowAt = [card](const QPoint &at) {
        for (int i = 0; i < card->group().items.size(); ++i)
            if (card->cellRect(i).contains(QPointF(at)))
                return i;
        return -1;
    };
    // Checked is "kept": the copy that stays when the others go.
    items.checked = [card](int row) -> std::optional<bool> {
        return card->group().items.at(row).path() == card->group().keep;
    };
    items.press = [card](int row) { card->keepCopy(row); };
    items.itemRole = QAccessible::RadioButton;
    return new ItemListAccessible(cells, QStringLiteral("Copies of ") + card->name(),
                                  std::move(items));
}

// The Quick Search rows: the list's selection is the row the keys are on,
// and the default action is the panel's, as a click or Return.
QAccessibleInterface *quickRows(QuickSearchView *panel, FileListView *list)
{
    ItemListAccessible::Items items = fileItems(list);
    items.press = [panel](int row) {
        panel->model().setIndex(row);
        panel->act(panel->rows(), Qt::NoModifier);
    };
    return new ItemListAccessible(list, list->spokenName(), std::move(items));
}

QAccessibleInterface *storage(StorageBar *bar)
{
    ItemListAccessible::Items items;
    const auto kindKey = [](Kind kind) { return QByteArray::number(int(kind)); };
    items.count = [bar] { return int(bar->segments().size()); };
    items.key = [bar, kindKey](int row) { return kindKey(bar->segments().at(row).kind); };
    items.rowOf = [bar, kindKey](const QByteArray &key) {
        const QList<HomeRules::Segment> &all = bar->segments();
        for (int i = 0; i < all.size(); ++i)
            if (kindKey(all.at(i).kind) == key)
                return i;
        return -1;
    };
    items.name = [bar](int row) {
        const HomeRules::Segment &segment = bar->segments().at(row);
        return StorageBar::tooltip(segment.kind, segment.bytes);
    };
    items.rect = [bar](int row) {
        return bar->segmentRect(bar->segments().at(row).kind).toAlignedRect();
    };
    items.rowAt = [bar](const QPoint &at) {
        const QList<HomeRules::Segment> &all = bar->segments();
        for (int i = 0; i < all.size(); ++i)
            if (bar->segmentRect(all.at(i).kind).contains(QPointF(at)))
                return i;
        return -1;
    };
    items.press = [bar](int row) { bar->openKind(bar->segments().at(row).kind); };
    return new ItemListAccessible(bar, QStringLiteral("Storage"), std::move(items));
}

// The toast's Undo, a button inside the painted capsule.
class UndoAccessible final : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    UndoAccessible(Toast *toast, QAccessibleInterface *parent) : m_toast(toast), m_parent(parent) {}

    bool isValid() const override { return m_toast && m_toast->showsUndo(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_parent->window(); }
    QAccessibleInterface *parent() const override { return m_parent; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? QStringLiteral("Undo") : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        if (!m_toast)
            return {};
        const QRect local = m_toast->undoRect().toAlignedRect();
        return QRect(m_toast->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.focusable = true;
        s.focused = m_toast && m_toast->hasFocus();
        return s;
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface
                   ? static_cast<QAccessibleActionInterface *>(this)
                   : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override
    {
        if (name == pressAction() && m_toast)
            m_toast->undo();
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QPointer<Toast> m_toast;
    QAccessibleInterface *m_parent;
};

// The toast: an alert whose name is its message, with Undo inside while offered.
class ToastAccessible final : public QAccessibleWidget
{
public:
    explicit ToastAccessible(Toast *toast) : QAccessibleWidget(toast, QAccessible::AlertMessage) {}
    ~ToastAccessible() override
    {
        if (m_undo)
            QAccessible::deleteAccessibleInterface(m_undo);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return toast()->isShowing() ? toast()->message() : QString();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return toast()->showsUndo() ? 1 : 0; }
    QAccessibleInterface *child(int index) const override
    {
        if (index != 0 || !toast()->showsUndo())
            return nullptr;
        if (!m_undo)
            m_undo = QAccessible::registerAccessibleInterface(
                new UndoAccessible(toast(), const_cast<ToastAccessible *>(this)));
        return QAccessible::accessibleInterface(m_undo);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && m_undo && QAccessible::accessibleInterface(m_undo) == child ? 0 : -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QPoint local = toast()->mapFromGlobal(QPoint(x, y));
        return toast()->undoRect().contains(QPointF(local)) ? child(0) : nullptr;
    }

private:
    Toast *toast() const { return static_cast<Toast *>(widget()); }
    mutable QAccessible::Id m_undo = 0;
};

// A page title: a heading named by the title, described by the subtitle.
class HeadingAccessible final : public QAccessibleWidget
{
public:
    explicit HeadingAccessible(PageHeader *header) : QAccessibleWidget(header, QAccessible::Heading)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        const auto *header = static_cast<const PageHeader *>(widget());
        if (t == QAccessible::Name)
            return header->title();
        if (t == QAccessible::Description)
            return header->subtitle();
        return QAccessibleWidget::text(t);
    }
};

// A sidebar row: an item of the sidebar's list, selected while its page shows.
class SideRowAccessible final : public QAccessibleWidget
{
public:
    explicit SideRowAccessible(SideRow *row) : QAccessibleWidget(row, QAccessible::ListItem) {}
    QString text(QAccessible::Text t) const override
    {
        const auto *row = static_cast<const SideRow *>(widget());
        if (t == QAccessible::Name)
            return row->title() + (row->badge() ? QStringLiteral(", ") + *row->badge() : QString());
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        const auto *row = static_cast<const SideRow *>(widget());
        QAccessible::State s = QAccessibleWidget::state();
        s.selectable = true;
        s.selected = row->isActive();
        s.focusable = true;
        s.focused = row->hasFocusMark();
        return s;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override
    {
        if (name == pressAction())
            static_cast<SideRow *>(widget())->click();
    }
};

QAccessibleInterface *factory(const QString &key, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    if (key == QLatin1String("FileListView")) {
        auto *list = static_cast<FileListView *>(widget);
        if (auto *panel = qobject_cast<QuickSearchView *>(list->parentWidget()))
            return quickRows(panel, list);
        return fileList(list);
    }
    if (key == QLatin1String("StorageBar"))
        return storage(static_cast<StorageBar *>(widget));
    if (key == QLatin1String("PreviewPanel"))
        return new PreviewAccessible(static_cast<PreviewPanel *>(widget));
    if (key == QLatin1String("Toast"))
        return new ToastAccessible(static_cast<Toast *>(widget));
    if (key == QLatin1String("PageHeader"))
        return new HeadingAccessible(static_cast<PageHeader *>(widget));
    if (key == QLatin1String("SideRow"))
        return new SideRowAccessible(static_cast<SideRow *>(widget));
    if (key == QLatin1String("MenuBarRow"))
        return new DownloadRowAccessible(static_cast<MenuBarRow *>(widget));
    if (key == QLatin1String("Sidebar"))
        return new QAccessibleWidget(widget, QAccessible::List, widget->accessibleName());
    if (key == QLatin1String("QWidget") && widget->objectName() == QLatin1String("copies")) {
        for (QWidget *up = widget->parentWidget(); up; up = up->parentWidget())
            if (auto *card = qobject_cast<DupGroupCard *>(up))
                return copies(widget, card);
    }
    return nullptr;
}

} // namespace

void Accessibility::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(&factory);
        return true;
    }();
    Q_UNUSED(installed);
}
