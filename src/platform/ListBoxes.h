#pragma once

#include "FileListing.h"

#include <QComboBox>
#include <QListWidget>

namespace platform {

// The drive list: one entry per mounted volume, identified by its root.
class DriveListBox : public QComboBox
{
    Q_OBJECT
public:
    explicit DriveListBox(QWidget *parent = nullptr);

    QString drive() const;
    // Selects the volume that holds the path; emits Change when it differs.
    void setDrive(const QString &path);
    // Shows the volume that holds a folder already opened, without Change.
    void followFolder(const QString &folder);
    // Re-reads the mounted volumes.
    void refresh();

Q_SIGNALS:
    void Change();

private:
    int indexFor(const QString &path);

    bool m_filling = false;
};

// The folder tree: the current folder's ancestors, the folder itself and its
// sub-folders, one line each. Indexes follow the classic control: the
// current folder is -1, its parent -2 and so on; sub-folders are 0 up.
class DirListBox : public QListWidget
{
    Q_OBJECT
public:
    explicit DirListBox(QWidget *parent = nullptr);

    QString path() const { return m_path; }
    // Throws Error 68 when the folder's volume is unavailable and Error 76
    // when the folder cannot be opened; the tree is then unchanged.
    void setPath(const QString &path);
    void refresh();

    int listIndex() const;
    void setListIndex(int index);
    int listCount() const { return static_cast<int>(m_subfolders.size()); }
    // The full path of the entry at a classic index; empty when out of range.
    QString list(int index) const;

Q_SIGNALS:
    void Change();
    void Click();
    void DblClick();
    void MouseDown(Qt::MouseButton button);
    void MouseUp(Qt::MouseButton button);
    void KeyDown(int key);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    void fill(const QString &path, const QStringList &subfolders);

    QString m_path;
    QStringList m_ancestors; // root first, the current folder last
    QStringList m_subfolders;
};

// The file list: the names of a folder's files that match the pattern.
class FileListBox : public QListWidget
{
    Q_OBJECT
public:
    static QString defaultPattern() { return QStringLiteral("*.*"); }

    explicit FileListBox(QWidget *parent = nullptr);

    QString path() const { return m_path; }
    // Throws Error 76 when the folder cannot be opened; the list is then unchanged.
    void setPath(const QString &path);
    QString pattern() const { return m_pattern.text(); }
    void setPattern(const QString &pattern);
    // Re-reads the folder; the selection is cleared.
    void refresh();
    // Re-reads the folder and selects the same name again if it is still
    // listed, without a Click.
    void refreshKeepingSelection();

    // Counts the readings of a folder, so a caller can tell a fresh list.
    quint64 readings() const { return m_readings; }

    int listIndex() const { return currentRow(); }
    // Selecting another entry emits Click, as a user's selection does.
    void setListIndex(int index);
    int listCount() const { return count(); }
    QString list(int index) const;
    QString fileName() const;

Q_SIGNALS:
    void Click();
    void DblClick();
    void MouseDown(Qt::MouseButton button);
    void MouseUp(Qt::MouseButton button);
    void KeyDown(int key);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    void fill(const QString &folder);

    QString m_path;
    FilePattern m_pattern{defaultPattern()};
    bool m_filling = false;
    quint64 m_readings = 0;
};

// An absolute folder path without a trailing separator (except the root).
QString normalFolder(const QString &path);

} // namespace platform
