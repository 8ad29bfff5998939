#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace pantrel {

// The program picker: a drive list, a folder list and the folder's files
// that match a pattern.
class Form1 final : public QDialog
{
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);

    // Shows the picker modally; true unless the user pressed Cancel.
    static bool showPrograms(const QString &title, const QString &message, const QString &pattern);
    // The last choice; kept across shows and across a Cancel.
    static QString chosenName();
    static QString chosenFolder();

    QString folder() const { return m_folder; }
    // Opens a folder; false (and nothing changes) when it cannot be listed.
    bool setFolder(const QString &folder);
    void setPattern(const QString &pattern);

    QComboBox *Drive1 = nullptr;
    QListWidget *Dir1 = nullptr;
    QListWidget *File1 = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

private:
    void Drive1_Change();
    void Dir1_Change();
    void File1_DblClick();
    void cmdOK_Click();
    void cmdCancel_Click();
    void fillFiles();

    QString m_folder;
    QString m_pattern = QStringLiteral("*");
};

} // namespace pantrel
