#pragma once

#include <optional>
#include <QByteArray>
#include <QList>

// What the window state needs from the preview panel, which lives in the UI
// layer: keeping an open panel on the file the keyboard moved to, and reading
// back which file the panel shows after it stepped on its own.
// Files are named by their native path bytes, as everywhere in the state.
class PreviewFollower
{
public:
    virtual ~PreviewFollower();

    // When the panel is open, show `paths[index]`; when it is closed, change nothing.
    virtual void follow(const QList<QByteArray> &paths, int index) = 0;
    // The file the open panel shows; absent when it is closed.
    virtual std::optional<QByteArray> currentPath() const = 0;
};
