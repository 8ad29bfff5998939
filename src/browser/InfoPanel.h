#pragma once

#include "platform/PictureButton.h"

#include <QObject>
#include <QSize>

class QAction;
class QLabel;
class QLineEdit;

namespace browser {

// The information strip under the pane, and the switches that show and hide
// it by changing the window's height.
class InfoPanel final : public QObject
{
    Q_OBJECT
public:
    static constexpr double HeightShown = 7020;
    static constexpr double HeightHidden = 6705;

    struct Controls
    {
        QLabel *ftype = nullptr;
        QLabel *FileDate = nullptr;
        QLabel *ImageSize = nullptr;
        QLabel *ImDimen = nullptr;
        QLabel *FileName = nullptr;
        platform::PictureButton *Label1 = nullptr; // "^": hide
        platform::PictureButton *Label2 = nullptr; // "V": show
        QAction *mnuStatus = nullptr;
    };

    explicit InfoPanel(const Controls &controls, QObject *parent = nullptr);

    // Start-up and after the options: shown unless the setting reads 0.
    void apply(bool shown);
    // The strip describes a shown file.
    void fill(const QString &path, const QString &entryName, QSize dimensions);
    // Nothing is shown: the strip describes nothing.
    void clear();
    // A file was selected: the menu item works from now on.
    void enableMenu();

Q_SIGNALS:
    // The shown file's ending ("jpg"); empty when nothing is shown.
    void endingChanged(const QString &ending);
    // The window's height in twips, with the strip shown or hidden.
    void heightWanted(double formHeight);
    // The window caption; empty for the window's own title.
    void captionChanged(const QString &caption);

private:
    void wire();
    void Label1_Click();
    void Label2_Click();
    void mnuStatus_Click();

    Controls m_c;
};

} // namespace browser
