#pragma once

#include "MainControls.h"

#include <QObject>

namespace browser {

// The information strip under the pane, and the switches that show and hide
// it by changing the window's height.
class InfoPanel final : public QObject
{
    Q_OBJECT
public:
    static constexpr double HeightShown = 7020;
    static constexpr double HeightHidden = 6705;

    explicit InfoPanel(MainControls &controls, QObject *parent = nullptr);

    void Label1_Click();
    void Label2_Click();
    void mnuStatus_Click();
    // Start-up and after the options: shown unless the setting reads 0.
    void apply(bool shown);
    // Fills the strip for a shown file; throws when the file cannot be read.
    void fill(const QString &path, const QString &entryName);

private:
    MainControls &m_c;
};

} // namespace browser
