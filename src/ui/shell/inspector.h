#pragma once

#include "inspectordetails.h"
#include "model/fileitem.h"

#include <optional>
#include <QList>
#include <QWidget>

class AppState;
class EmptyState;
class Library;
class PillButton;
class QAbstractButton;
class QLabel;
class QScrollArea;
class QVBoxLayout;
class Thumb;
class Thumbs;

// The column at the window's right edge that describes the anchor file: a
// large preview, the name, its details, what the picture shows and the text
// read from it, and buttons to open or show it. It follows the anchor, so a
// click, the arrow keys and the preview panel all change what it shows.
class Inspector final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kWidth = 264;

    Inspector(AppState &state, Library &library, Thumbs &thumbs, QWidget *parent = nullptr);

    // The file described; none while the empty state shows.
    const std::optional<FileItem> &file() const { return m_file; }
    // The detail rows shown, in order.
    const QList<InspectorDetails::Row> &rows() const { return m_rows; }
    // The recognised text the Copy button copies; empty when the block is hidden.
    const QString &text() const { return m_text; }
    QString subjectsLine() const;
    QAbstractButton *copyButton() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void refresh();
    void showFile(const FileItem &item);
    void setRows(const QList<InspectorDetails::Row> &rows);
    void copyText();

    AppState &m_state;
    Library &m_library;
    std::optional<FileItem> m_file;
    QList<InspectorDetails::Row> m_rows;
    QString m_text;

    QScrollArea *m_scroll = nullptr;
    EmptyState *m_empty = nullptr;
    QWidget *m_details = nullptr;
    Thumb *m_thumb = nullptr;
    QLabel *m_name = nullptr;
    QVBoxLayout *m_rowLayout = nullptr;
    QWidget *m_subjects = nullptr;
    QLabel *m_subjectsText = nullptr;
    QWidget *m_ocr = nullptr;
    QLabel *m_ocrText = nullptr;
    QAbstractButton *m_copy = nullptr;
    PillButton *m_open = nullptr;
    PillButton *m_reveal = nullptr;
    bool m_dark = false;
};
