#include "keyfilter.h"

#include "files/files.h"
#include "files/quicklook.h"
#include "shell/mainwindow.h"
#include "state/appstate.h"
#include "state/trasher.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QContextMenuEvent>
#include <QApplication>
#include <QDateTime>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

bool takesText(const QWidget *widget)
{
    if (!widget)
        return false;
    if (qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QAbstractSpinBox *>(widget))
        return true;
    if (const auto *edit = qobject_cast<const QTextEdit *>(widget))
        return !edit->isReadOnly();
    if (const auto *plain = qobject_cast<const QPlainTextEdit *>(widget))
        return !plain->isReadOnly();
    return false;
}

// A button takes Space and Return itself; other controls say what they take
// in their "ownKeys" property ("space" or "all").
KeyMap::Owns ownedBy(const QWidget *widget)
{
    if (!widget)
        return KeyMap::Owns::nothing;
    const QString owns = widget->property("ownKeys").toString();
    if (owns == QLatin1String("all") || qobject_cast<const QAbstractButton *>(widget))
        return KeyMap::Owns::all;
    if (owns == QLatin1String("space"))
        return KeyMap::Owns::space;
    return KeyMap::Owns::nothing;
}

// The widget a QWindow stands for; windows not made by widgets have none.
QWidget *widgetOf(QObject *watched)
{
    auto *window = qobject_cast<QWindow *>(watched);
    if (!window)
        return nullptr;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->windowHandle() == window)
            return top;
    return nullptr;
}

QList<FileItem> chosenOf(const AppState &state)
{
    QList<FileItem> chosen;
    if (state.selection().isEmpty())
        return chosen;
    for (const FileItem &item : state.visible())
        if (state.selection().contains(item.path()))
            chosen.append(item);
    return chosen;
}

} // namespace

KeyFilter::KeyFilter(AppState &state, QuickLook &quickLook, Trasher &trasher, QObject *parent)
    : QObject(parent), m_state(state), m_quickLook(quickLook), m_trasher(trasher)
{
}

KeyMap::Situation KeyFilter::situation(const QWidget *window) const
{
    KeyMap::Situation s;
    s.previewVisible = m_quickLook.isOpen();
    const QDateTime closed = m_quickLook.closedAt();
    s.msSincePreviewClosed = closed.msecsTo(QDateTime::currentDateTimeUtc());
    s.windowIsPanel = !window || window->objectName() != QLatin1String("main");
    const QWidget *focus = window ? window->focusWidget() : nullptr;
    s.focusIsText = takesText(focus);
    s.focusOwns = ownedBy(focus);
    s.listMode = m_state.listMode();
    s.columns = m_state.columns();
    s.selectionEmpty = m_state.selection().isEmpty();
    s.chosenEmpty = chosenOf(m_state).isEmpty();
    s.hasAnchor = m_state.anchor().has_value();
    return s;
}

bool KeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    // A key press enters through its QWindow and is then handed to widgets,
    // each hand-over passing this filter again: deciding at the window sees
    // every press exactly once, and consuming there keeps it from every widget.
    if (event->type() != QEvent::KeyPress || !watched->isWindowType())
        return false;
    QWidget *window = widgetOf(watched);
    if (!window)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const KeyMap::Decision decision =
        KeyMap::decide(KeyMap::keyOf(key->key()), key->modifiers(), situation(window));
    apply(decision);
    return decision.consume;
}

void KeyFilter::apply(const KeyMap::Decision &decision)
{
    switch (decision.effect) {
    case KeyMap::Effect::none:
        return;
    case KeyMap::Effect::closePreviewSoon:
        QTimer::singleShot(KeyMap::kPreviewCloseDelayMs, &m_quickLook, [this] { m_quickLook.close(); });
        return;
    case KeyMap::Effect::followPreviewSoon:
        QTimer::singleShot(0, &m_state, [this] { m_state.followPreview(); });
        return;
    case KeyMap::Effect::move:
        m_state.move(decision.offset);
        return;
    case KeyMap::Effect::open:
        Files::open(chosenOf(m_state));
        return;
    case KeyMap::Effect::togglePreview: {
        // The preview starts at the anchor, or at the first chosen file when there is none.
        std::optional<QByteArray> start = m_state.anchor();
        if (!start) {
            const QList<FileItem> chosen = chosenOf(m_state);
            if (!chosen.isEmpty())
                start = chosen.first().path();
        }
        QList<QByteArray> paths;
        paths.reserve(m_state.visible().size());
        std::optional<int> index;
        for (const FileItem &item : m_state.visible()) {
            if (!index && start && item.path() == *start)
                index = int(paths.size());
            paths.append(item.path());
        }
        m_quickLook.toggle(paths, index.value_or(0));
        return;
    }
    case KeyMap::Effect::trash:
        m_trasher.trash(chosenOf(m_state));
        return;
    case KeyMap::Effect::clearSelection:
        m_state.setSelection({});
        return;
    case KeyMap::Effect::contextMenu:
        if (MainWindow *main = MainWindow::find()) {
            QWidget *view = main->fileView();
            if (!view)
                return;
            view->setFocus(Qt::OtherFocusReason);
            // The view places a keyboard menu at the selection itself.
            QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(), view->mapToGlobal(QPoint()));
            QCoreApplication::sendEvent(view, &menu);
        }
        return;
    }
}
