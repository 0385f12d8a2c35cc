#pragma once

#include "state/previewfollower.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPointer>

#include <optional>

class AppState;
class PreviewPanel;

// Drives the preview panel and keeps it in step with the selection: the
// keyboard's movement reaches an open panel through follow(), and the
// panel's own stepping moves the selection through AppState::followPreview().
// Main thread. The panel is made on the first toggle() and then kept.
class QuickLook final : public QObject, public PreviewFollower
{
    Q_OBJECT

public:
    // Installs itself as the shared window state's preview follower.
    static QuickLook &shared();
    // `state` receives followPreview() when the panel steps; may be null.
    explicit QuickLook(AppState *state, QObject *parent = nullptr);
    ~QuickLook() override;

    // Opens the panel on paths[index], or closes it when it is open; closing
    // leaves the stored list and index as they were.
    void toggle(const QList<QByteArray> &paths, int index);
    // When the panel is open, shows paths[index]; when closed, changes nothing.
    void follow(const QList<QByteArray> &paths, int index) override;
    // Closes the panel when it exists and is visible; it is not made for this.
    void close();
    // The file the open panel shows.
    std::optional<QByteArray> currentPath() const override;

    const QList<QByteArray> &paths() const { return m_paths; }
    int index() const { return m_index; }
    // When the panel last went away; the distant past before that.
    const QDateTime &closedAt() const { return m_closedAt; }
    bool isOpen() const;
    // The panel once made; null before the first toggle().
    PreviewPanel *panel() const;

private:
    void stepped();
    void panelClosed();
    // Over the window the preview was asked from, on its screen.
    void placePanel();

    AppState *m_state = nullptr;
    QPointer<PreviewPanel> m_panel;
    QList<QByteArray> m_paths;
    int m_index = 0;
    QDateTime m_closedAt;
};
