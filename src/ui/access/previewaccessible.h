#pragma once

#include <QAccessibleWidget>

class PreviewPanel;

// The preview panel as a screen reader meets it: a window named with the
// file shown as a sighted user reads it (name, then kind, size and date),
// described by its place in the list, and one child for what it shows —
// the picture, the start of the text, or the file's details. The child is
// made on first request and follows the panel from file to file.
class PreviewAccessible final : public QAccessibleWidget
{
public:
    explicit PreviewAccessible(PreviewPanel *panel);
    ~PreviewAccessible() override;

    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;

    PreviewPanel *panel() const;

private:
    mutable QAccessible::Id m_content = 0;
};
