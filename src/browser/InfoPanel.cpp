#include "InfoPanel.h"

#include "DisplayLayout.h"
#include "platform/Error.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

namespace browser {

namespace {

// The strip's labels are narrow: a text that does not fit is drawn smaller,
// and the whole text is in the tool tip.
void setFittedText(QLabel *label, const QString &text)
{
    QFont font = label->parentWidget() ? label->parentWidget()->font() : label->font();
    const qreal normal = font.pointSizeF();
    label->setText(text);
    label->setToolTip(text);
    for (qreal size = normal; size >= 6.0; size -= 0.5) {
        font.setPointSizeF(size);
        if (QFontMetrics(font).horizontalAdvance(text) <= label->width())
            break;
    }
    label->setFont(font);
}

} // namespace

InfoPanel::InfoPanel(MainControls &controls, QObject *parent) : QObject(parent), m_c(controls) {}

void InfoPanel::Label2_Click()
{
    m_c.setFormHeight(HeightShown);
    m_c.Label2->hide();
    m_c.mnuStatus->setChecked(true);
}

void InfoPanel::Label1_Click()
{
    m_c.setFormHeight(HeightHidden);
    m_c.Label2->show();
    m_c.mnuStatus->setChecked(false);
}

void InfoPanel::mnuStatus_Click()
{
    if (!m_c.Label2->isHidden())
        Label2_Click();
    else
        Label1_Click();
}

void InfoPanel::apply(bool shown)
{
    if (shown)
        Label2_Click();
    else
        Label1_Click();
}

void InfoPanel::fill(const QString &path, const QString &entryName)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw platform::Error(platform::Error::FileNotFound,
                              QStringLiteral("The file \"%1\" was not found.").arg(path));
    m_c.mnuFullscrn->setEnabled(true);
    setFittedText(m_c.FileDate, dateText(info.lastModified()));
    m_c.FileName->setText(entryName);
    m_c.ImageSize->setText(sizeText(info.size()));
    m_c.form->setWindowTitle(QStringLiteral("Imagrove - ") + entryName);
    m_c.Text1->setText(ending(m_c.FileName->text()));
    m_c.ftype->setText(typeName(m_c.FileName->text(), m_c.ftype->text()));
}

} // namespace browser
