#include "menubarlist.h"

#include "latestdownloads.h"
#include "menubarrow.h"

#include "components/focusring.h"
#include "theme/appearance.h"
#include "theme/theme.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

MenuBarList::MenuBarList(std::function<QByteArray()> folder, Thumbs &thumbs, QWidget *parent)
    : QWidget(parent), m_folder(std::move(folder)), m_thumbs(thumbs)
{
    setObjectName(QStringLiteral("menubar"));
    setFixedWidth(kWidth);
    Appearance::shared().follow(this, &m_dark);
    connect(&Appearance::shared(), &Appearance::changed, this, &MenuBarList::restyle);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(10, 10, 10, 10);
    column->setSpacing(2);

    auto *header = new QHBoxLayout;
    header->setContentsMargins(8, 0, 8, 6);
    header->setSpacing(0);
    m_title = new QLabel(QStringLiteral("Latest downloads"), this);
    m_title->setFont(Theme::font(13, QFont::DemiBold));
    m_openMain = new QPushButton(QStringLiteral("Open Tovalo"), this);
    m_openMain->setFlat(true);
    m_openMain->setFont(Theme::font(11.5));
    m_openMain->setCursor(Qt::PointingHandCursor);
    m_openMain->installEventFilter(this);
    connect(m_openMain, &QPushButton::clicked, this, &MenuBarList::openMainRequested);
    header->addWidget(m_title);
    header->addStretch(1);
    header->addWidget(m_openMain);
    column->addLayout(header);

    m_empty = new QLabel(QStringLiteral("Nothing in Downloads yet"), this);
    m_empty->setFont(Theme::font(12));
    m_empty->setContentsMargins(8, 8, 8, 8);
    column->addWidget(m_empty);

    m_rows = new QVBoxLayout;
    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setSpacing(2);
    column->addLayout(m_rows);
    column->addStretch(1);
    restyle();
    reload();
}

void MenuBarList::restyle()
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, Theme::ink.resolve(m_dark));
    palette.setColor(QPalette::ButtonText, Theme::ink2.resolve(m_dark));
    setPalette(palette);
    m_title->setStyleSheet(QStringLiteral("color: %1;").arg(Theme::ink.resolve(m_dark).name()));
    m_empty->setStyleSheet(QStringLiteral("color: %1;").arg(Theme::ink3.resolve(m_dark).name()));
    m_openMain->setStyleSheet(
        QStringLiteral("QPushButton { color: %1; border: none; background: transparent; padding: 0; }"
                       "QPushButton:hover { color: %2; }")
            .arg(Theme::ink2.resolve(m_dark).name(), Theme::ink.resolve(m_dark).name()));
}

void MenuBarList::reload()
{
    const QList<QByteArray> files = LatestDownloads::latest(m_folder ? m_folder() : QByteArray());
    m_empty->setVisible(files.isEmpty());
    if (files == m_files && m_rows->count() == files.size())
        return;
    m_files = files;
    while (QLayoutItem *item = m_rows->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const QByteArray &path : m_files) {
        auto *row = new MenuBarRow(path, m_thumbs, this);
        connect(row, &MenuBarRow::openRequested, this, &MenuBarList::openRequested);
        connect(row, &MenuBarRow::revealRequested, this, &MenuBarList::revealRequested);
        m_rows->addWidget(row);
    }
    adjustSize();
}

void MenuBarList::showEvent(QShowEvent *event)
{
    reload();
    QWidget::showEvent(event);
}

void MenuBarList::focusFirst()
{
    // Focus given as Tab gives it, so the ring shows where the keys start.
    if (QLayoutItem *first = m_rows->itemAt(0); first && first->widget())
        first->widget()->setFocus(Qt::TabFocusReason);
    else
        m_openMain->setFocus(Qt::TabFocusReason);
}

void MenuBarList::keyPressEvent(QKeyEvent *event)
{
    const int step = event->key() == Qt::Key_Down ? 1 : event->key() == Qt::Key_Up ? -1 : 0;
    if (step == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    int at = -1;
    for (int i = 0; i < m_rows->count(); ++i) {
        const QWidget *row = m_rows->itemAt(i)->widget();
        if (row && (row->hasFocus() || row->isAncestorOf(focusWidget())))
            at = i;
    }
    // From the header, Down goes to the first row; past the ends it stays.
    const int to = at < 0 ? (step > 0 ? 0 : -1) : at + step;
    if (to >= 0 && to < m_rows->count())
        m_rows->itemAt(to)->widget()->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    else if (to < 0 && at == 0)
        m_openMain->setFocus(Qt::BacktabFocusReason);
}

bool MenuBarList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_openMain && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        const auto *focus = static_cast<QFocusEvent *>(event);
        m_openMainRing = event->type() == QEvent::FocusIn && FocusRing::fromKeyboard(focus->reason());
        update();
    }
    return QWidget::eventFilter(watched, event);
}

void MenuBarList::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Theme::bg.resolve(m_dark));
    // The flat button draws no ring of its own; the list draws it around it.
    if (m_openMainRing) {
        constexpr qreal kAround = 4;
        const QRectF around = QRectF(m_openMain->geometry()).adjusted(-kAround, -kAround / 2, kAround, kAround / 2);
        FocusRing::draw(p, around, 6, m_dark);
    }
}
