#pragma once

#include <QObject>
#include <QString>

// What the Quick Search panel holds between key presses: the search text and
// the selected row. Pure: it decides what a key does given how many rows are
// shown and which modifiers are held, and leaves doing it to the panel.
// Main thread; setters tell readers only of real changes.
class QuickModel final : public QObject
{
    Q_OBJECT

public:
    // What a key asks for. The file actions apply to the selected row.
    enum class Command
    {
        none,
        close,
        open,
        reveal,
        showInMain
    };

    static constexpr int kMaxRows = 7;

    explicit QuickModel(QObject *parent = nullptr);

    const QString &text() const { return m_text; }
    int index() const { return m_index; }
    // A new text puts the selection back on the first row.
    void setText(const QString &text);
    void setIndex(int index);
    // The state of a freshly shown panel.
    void reset();

    // The text without spaces and tabs at either end (line breaks stay).
    QString trimmed() const;
    static QString trimmed(const QString &text);

    // Up and Down move within the `rows` shown and stay put at either end;
    // Escape closes; Return acts on the selected row, or does nothing (the
    // panel stays) when no row is selected. Other keys are not the panel's.
    Command press(int key, Qt::KeyboardModifiers modifiers, int rows);
    // What acting on a row means with these modifiers: Alt reveals (even
    // with Ctrl held), Ctrl shows the file in the main window, none opens.
    static Command actionFor(Qt::KeyboardModifiers modifiers);
    // Whether `key` is one press() answers.
    static bool handles(int key);

signals:
    void textChanged();
    void indexChanged();

private:
    QString m_text;
    int m_index = 0;
};
