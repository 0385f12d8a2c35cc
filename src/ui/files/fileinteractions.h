#pragma once

#include "model/fileitem.h"

#include <QList>
#include <QString>

#include <optional>
#include <utility>

class AppState;
class QMenu;
class QPixmap;
class QWidget;

// How a card or a row reacts to the pointer: a click selects (Ctrl toggles,
// Shift extends a range), a double-click opens, a drag carries the file out
// of the application, and the context menu acts on the targets of the file.
class FileInteractions final
{
public:
    enum class Action { quickLook, open, reveal, copy, copyPath, copyText, moreFrom, trash };
    // One line of the context menu; a divider has no action.
    struct Entry
    {
        std::optional<Action> action;
        QString text;
        bool destructive = false;
        friend bool operator==(const Entry &, const Entry &) = default;
    };

    // The menu for a right-click on `item` when the actions apply to `targets`.
    static QList<Entry> entries(const FileItem &item, const QList<FileItem> &targets);
    // The menu, with the targets taken from `state` now; the caller owns it.
    static QMenu *menu(const FileItem &item, AppState &state, QWidget *parent);
    static void perform(Action action, const FileItem &item, const QList<FileItem> &targets,
                        AppState &state);

    static void click(AppState &state, const FileItem &item, Qt::KeyboardModifiers modifiers);
    static void doubleClick(const FileItem &item);
    // Starts dragging the file out of `source`; blocks until it is dropped.
    static void drag(QWidget *source, const FileItem &item, const QPixmap &picture);
    // What "Quick Look" opens: every visible file (or `item` alone) and where `item` is.
    static std::pair<QList<QByteArray>, int> previewList(const FileItem &item,
                                                         const QList<FileItem> &visible);
};
