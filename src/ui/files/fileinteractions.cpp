#include "fileinteractions.h"

#include "files.h"
#include "quicklook.h"

#include "state/appstate.h"
#include "state/trasher.h"

#include <QDrag>

#include <algorithm>
#include <QMenu>
#include <QMimeData>
#include <QPixmap>
#include <QWidget>

QList<FileInteractions::Entry> FileInteractions::entries(const FileItem &item,
                                                         const QList<FileItem> &targets)
{
    QList<Entry> out = {
        {Action::quickLook, QStringLiteral("Quick Look")},
        {Action::open, QStringLiteral("Open")},
        {Action::reveal, QStringLiteral("Show in Folder")},
        {std::nullopt, {}},
        {Action::copy, QStringLiteral("Copy")},
        {Action::copyPath, QStringLiteral("Copy Path")},
    };
    const bool anyImage = std::any_of(targets.begin(), targets.end(),
                                      [](const FileItem &t) { return t.kind() == Kind::image; });
    if (anyImage)
        out.append({Action::copyText, QStringLiteral("Copy Text in Image")});
    if (const std::optional<QString> source = item.source())
        out.append({Action::moreFrom, QStringLiteral("More from ") + *source});
    out.append({std::nullopt, {}});
    out.append({Action::trash,
                targets.size() == 1
                    ? QStringLiteral("Move to Trash")
                    : QStringLiteral("Move %1 Items to Trash").arg(targets.size()),
                true});
    return out;
}

QMenu *FileInteractions::menu(const FileItem &item, AppState &state, QWidget *parent)
{
    const QList<FileItem> targets = state.targets(item);
    auto *menu = new QMenu(parent);
    for (const Entry &entry : entries(item, targets)) {
        if (!entry.action) {
            menu->addSeparator();
            continue;
        }
        QAction *action = menu->addAction(entry.text);
        if (entry.destructive)
            action->setProperty("destructive", true);
        const Action which = *entry.action;
        QObject::connect(action, &QAction::triggered, menu,
                         [which, item, targets, &state]() { perform(which, item, targets, state); });
    }
    return menu;
}

std::pair<QList<QByteArray>, int> FileInteractions::previewList(const FileItem &item,
                                                                const QList<FileItem> &visible)
{
    if (visible.isEmpty())
        return {{item.path()}, 0};
    QList<QByteArray> paths;
    paths.reserve(visible.size());
    int position = -1;
    for (const FileItem &file : visible) {
        if (position < 0 && file.path() == item.path())
            position = int(paths.size());
        paths.append(file.path());
    }
    return {paths, std::max(position, 0)};
}

void FileInteractions::perform(Action action, const FileItem &item, const QList<FileItem> &targets,
                               AppState &state)
{
    switch (action) {
    case Action::quickLook: {
        const auto [paths, position] = previewList(item, state.visible());
        QuickLook::shared().toggle(paths, position);
        break;
    }
    case Action::open:
        Files::open(targets);
        break;
    case Action::reveal:
        Files::reveal(targets);
        break;
    case Action::copy:
        Files::copy(targets);
        break;
    case Action::copyPath:
        Files::copyPath(targets);
        break;
    case Action::copyText:
        Files::copyText(targets);
        break;
    case Action::moreFrom:
        if (const std::optional<QString> source = item.source())
            state.go(Route::source(*source));
        break;
    case Action::trash:
        Trasher::shared().trash(targets);
        break;
    }
}

void FileInteractions::click(AppState &state, const FileItem &item, Qt::KeyboardModifiers modifiers)
{
    state.select(item, modifiers.testFlag(Qt::ControlModifier), modifiers.testFlag(Qt::ShiftModifier));
}

void FileInteractions::doubleClick(const FileItem &item)
{
    Files::open({item});
}

void FileInteractions::drag(QWidget *source, const FileItem &item, const QPixmap &picture)
{
    auto *drag = new QDrag(source);
    auto *data = new QMimeData;
    data->setUrls({Files::url(item)});
    drag->setMimeData(data);
    if (!picture.isNull())
        drag->setPixmap(picture);
    // Never a move: a drop elsewhere must not take the file from its place.
    drag->exec(Qt::CopyAction | Qt::LinkAction, Qt::CopyAction);
}
