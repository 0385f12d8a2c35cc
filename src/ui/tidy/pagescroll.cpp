#include "pagescroll.h"

#include "theme/appearance.h"
#include "theme/theme.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

// The scrolled content, painted in the window background.
class Content final : public QWidget
{
public:
    explicit Content(QWidget *parent = nullptr) : QWidget(parent) { Appearance::shared().follow(this, &m_dark); }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter p(this);
        p.fillRect(event->rect(), Theme::bg.resolve(m_dark));
    }

private:
    bool m_dark = false;
};

} // namespace

PageScroll::PageScroll(int spacing, QWidget *parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidgetResizable(true);
    // A container, not a Tab stop: the keyboard goes straight to the page's controls.
    setFocusPolicy(Qt::NoFocus);
    verticalScrollBar()->setSingleStep(40);
    auto *content = new Content;
    m_column = new QVBoxLayout(content);
    m_column->setContentsMargins(kSideMargin, kTopMargin, kSideMargin, kBottomMargin);
    m_column->setSpacing(spacing);
    m_column->setAlignment(Qt::AlignTop);
    setWidget(content);
}
