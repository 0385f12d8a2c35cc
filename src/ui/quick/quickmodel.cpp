#include "quickmodel.h"

#include <algorithm>

QuickModel::QuickModel(QObject *parent) : QObject(parent) {}

void QuickModel::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    emit textChanged();
    setIndex(0);
}

void QuickModel::setIndex(int index)
{
    if (index == m_index)
        return;
    m_index = index;
    emit indexChanged();
}

void QuickModel::reset()
{
    setText(QString());
    setIndex(0);
}

QString QuickModel::trimmed() const
{
    return trimmed(m_text);
}

QString QuickModel::trimmed(const QString &text)
{
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && blank(text[begin]))
        ++begin;
    while (end > begin && blank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

bool QuickModel::handles(int key)
{
    return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Escape || key == Qt::Key_Return ||
           key == Qt::Key_Enter;
}

QuickModel::Command QuickModel::actionFor(Qt::KeyboardModifiers modifiers)
{
    if (modifiers.testFlag(Qt::AltModifier))
        return Command::reveal;
    if (modifiers.testFlag(Qt::ControlModifier))
        return Command::showInMain;
    return Command::open;
}

QuickModel::Command QuickModel::press(int key, Qt::KeyboardModifiers modifiers, int rows)
{
    switch (key) {
    case Qt::Key_Down:
        setIndex(std::min(m_index + 1, std::max(rows - 1, 0)));
        return Command::none;
    case Qt::Key_Up:
        setIndex(std::max(m_index - 1, 0));
        return Command::none;
    case Qt::Key_Escape:
        return Command::close;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_index < 0 || m_index >= rows)
            return Command::none;
        return actionFor(modifiers);
    default:
        return Command::none;
    }
}
