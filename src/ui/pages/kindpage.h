#pragma once

#include "model/kind.h"

#include <QString>
#include <QWidget>

#include <optional>

class AppState;
class FacetChip;
class FilesPage;
class Library;
class QHBoxLayout;
class QScrollArea;
class Thumbs;

// All files of one kind, with a row of extension filters under the header.
// The picked extension is this page's own state: a new kind page starts
// with none.
class KindPage final : public QWidget
{
    Q_OBJECT

public:
    // With the shared catalog, window state and thumbnail cache.
    explicit KindPage(Kind kind, QWidget *parent = nullptr);
    KindPage(Kind kind, Library &library, AppState &state, Thumbs &thumbs, QWidget *parent = nullptr);

    Kind kind() const { return m_kind; }
    const std::optional<QString> &pickedExtension() const { return m_ext; }
    void pick(const std::optional<QString> &ext);
    FilesPage &filesPage() const { return *m_page; }
    // The chips in order, "All" first; empty when the row is not shown.
    QList<FacetChip *> chips() const;

private:
    void refresh();

    Kind m_kind;
    Library &m_library;
    std::optional<QString> m_ext;
    FilesPage *m_page;
    QScrollArea *m_facetRow;
    QWidget *m_chipBox;
};
