#pragma once

#include <QByteArray>
#include <QList>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QVBoxLayout;
class Thumbs;

// The latest-downloads list: a header with "Open Tovalo", then the ten
// newest arrivals of the downloads folder, read from the folder every time
// the list is shown, so it never waits for the catalog to rescan. The
// keyboard starts on the newest arrival; Up and Down move between rows.
class MenuBarList final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kWidth = 320;

    // `folder` names the downloads folder when asked (the catalog's, which
    // follows the user's folder settings).
    MenuBarList(std::function<QByteArray()> folder, Thumbs &thumbs, QWidget *parent = nullptr);

    const QList<QByteArray> &files() const { return m_files; }
    // Reads the folder again; done on every show.
    void reload();
    // Puts the keyboard on the newest arrival, or on "Open Tovalo" when there is none.
    void focusFirst();

signals:
    void openMainRequested();
    void openRequested(const QByteArray &path);
    void revealRequested(const QByteArray &path);

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void restyle();

    std::function<QByteArray()> m_folder;
    Thumbs &m_thumbs;
    QList<QByteArray> m_files;
    QVBoxLayout *m_rows;
    QLabel *m_title;
    QPushButton *m_openMain;
    QLabel *m_empty;
    bool m_dark = false;
    bool m_openMainRing = false;
};
