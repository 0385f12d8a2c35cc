#include "previewaccessible.h"

#include "files/previewpanel.h"

#include <QAccessibleImageInterface>
#include <QPointer>

namespace {

// What the panel shows under its title line, read live from the panel.
class ContentAccessible final : public QAccessibleInterface, public QAccessibleImageInterface
{
public:
    explicit ContentAccessible(PreviewPanel *panel) : m_panel(panel) {}

    bool isValid() const override { return m_panel && m_panel->content() != PreviewPanel::Content::none; }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_panel ? m_panel->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_panel.data()); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        if (!m_panel || t != QAccessible::Name)
            return {};
        switch (m_panel->content()) {
        case PreviewPanel::Content::picture:
            return QStringLiteral("Picture of ") + m_panel->fileName();
        case PreviewPanel::Content::text:
            return m_panel->text();
        case PreviewPanel::Content::details:
            return (QStringList{m_panel->fileName()} + m_panel->details()).join(QStringLiteral(", "));
        case PreviewPanel::Content::none:
            break;
        }
        return {};
    }
    void setText(QAccessible::Text, const QString &) override {}

    QRect rect() const override
    {
        if (!m_panel)
            return {};
        const QRect local = m_panel->contentRect().toAlignedRect();
        return QRect(m_panel->mapToGlobal(local.topLeft()), local.size());
    }

    QAccessible::Role role() const override
    {
        return m_panel && m_panel->content() == PreviewPanel::Content::picture ? QAccessible::Graphic
                                                                                : QAccessible::StaticText;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.readOnly = true;
        if (!isValid())
            s.invalid = true;
        return s;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ImageInterface && role() == QAccessible::Graphic
                   ? static_cast<QAccessibleImageInterface *>(this)
                   : nullptr;
    }

    QString imageDescription() const override { return text(QAccessible::Name); }
    QSize imageSize() const override { return m_panel ? m_panel->pictureRect().size().toSize() : QSize(); }
    QPoint imagePosition() const override
    {
        return m_panel ? m_panel->mapToGlobal(m_panel->pictureRect().topLeft().toPoint()) : QPoint();
    }

private:
    QPointer<PreviewPanel> m_panel;
};

} // namespace

PreviewAccessible::PreviewAccessible(PreviewPanel *panel) : QAccessibleWidget(panel, QAccessible::Window) {}

PreviewAccessible::~PreviewAccessible()
{
    if (m_content)
        QAccessible::deleteAccessibleInterface(m_content);
}

PreviewPanel *PreviewAccessible::panel() const
{
    return static_cast<PreviewPanel *>(widget());
}

QString PreviewAccessible::text(QAccessible::Text t) const
{
    const QString name = panel()->fileName();
    switch (t) {
    case QAccessible::Name:
        if (name.isEmpty())
            return QStringLiteral("Preview");
        return (QStringList{name} + panel()->details()).join(QStringLiteral(", "));
    case QAccessible::Description:
        return panel()->position();
    default:
        return QAccessibleWidget::text(t);
    }
}

int PreviewAccessible::childCount() const
{
    return panel()->content() == PreviewPanel::Content::none ? 0 : 1;
}

QAccessibleInterface *PreviewAccessible::child(int index) const
{
    if (index != 0 || childCount() == 0)
        return nullptr;
    if (!m_content)
        m_content = QAccessible::registerAccessibleInterface(new ContentAccessible(panel()));
    return QAccessible::accessibleInterface(m_content);
}

int PreviewAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    return m_content && child == QAccessible::accessibleInterface(m_content) ? 0 : -1;
}

QAccessibleInterface *PreviewAccessible::childAt(int x, int y) const
{
    QAccessibleInterface *content = child(0);
    return content && content->rect().contains(x, y) ? content : nullptr;
}
