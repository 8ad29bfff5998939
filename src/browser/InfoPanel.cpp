#include "InfoPanel.h"
#include "platform/FileNames.h"

#include "core/ImageTypes.h"
#include "DisplayLayout.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>

namespace browser {

namespace {

// A label too narrow for its text draws it smaller, down to a floor, and
// then cuts it with an ellipsis; the whole text is in the tool tip.
void setFittedText(QLabel *label, const QString &text, qreal smallestPoints)
{
    QFont font = label->parentWidget() ? label->parentWidget()->font() : label->font();
    for (qreal size = font.pointSizeF(); size > smallestPoints; size -= 0.5) {
        if (QFontMetrics(font).horizontalAdvance(text) <= label->width())
            break;
        font.setPointSizeF(size - 0.5);
    }
    label->setFont(font);
    label->setText(QFontMetrics(font).elidedText(text, Qt::ElideRight, label->width()));
    label->setToolTip(text);
}

} // namespace

InfoPanel::InfoPanel(const Controls &controls, QObject *parent) : QObject(parent), m_c(controls)
{
    wire();
}

void InfoPanel::wire()
{
    connect(m_c.mnuStatus, &QAction::triggered, this, &InfoPanel::mnuStatus_Click);
    connect(m_c.Label1, &platform::PictureButton::MouseUp, this,
            [this](int, Qt::MouseButton button) {
                if (button == Qt::LeftButton)
                    Label1_Click();
            });
    connect(m_c.Label2, &platform::PictureButton::MouseUp, this,
            [this](int, Qt::MouseButton button) {
                if (button == Qt::LeftButton)
                    Label2_Click();
            });
}

void InfoPanel::Label2_Click()
{
    Q_EMIT heightWanted(HeightShown);
    m_c.Label2->hide();
    m_c.mnuStatus->setChecked(true);
}

void InfoPanel::Label1_Click()
{
    Q_EMIT heightWanted(HeightHidden);
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

void InfoPanel::enableMenu()
{
    m_c.mnuStatus->setEnabled(true);
}

void InfoPanel::fill(const QString &path, const QString &entryName, QSize dimensions)
{
    // Only what can be read is told: a file gone since it was shown leaves
    // its date and size blank rather than another message.
    const std::optional<platform::FileFacts> info = platform::regularFileFacts(path);
    const bool readable = info.has_value();
    setFittedText(m_c.ImDimen,
                  QStringLiteral("%1x%2").arg(dimensions.width()).arg(dimensions.height()), 7);
    // The date and time where they fit the label in its font; else the
    // date alone, where it fits in the smallest font the strip takes; else
    // the date in digits (the C locale's forms were cut).
    QStringList forms{QString()};
    if (readable) {
        const QWidget *strip = m_c.FileDate->parentWidget();
        const QFont font = strip ? strip->font() : m_c.FileDate->font();
        forms =
            QStringList{shortDateText(info->modified), info->modified.date().toString(Qt::ISODate)};
        const QString full = dateText(info->modified);
        if (QFontMetrics(font).horizontalAdvance(full) <= m_c.FileDate->width())
            forms.prepend(full);
    }
    for (const QString &form : std::as_const(forms)) {
        setFittedText(m_c.FileDate, form, 6);
        if (!m_c.FileDate->text().endsWith(QChar(0x2026)))
            break;
    }
    if (readable)
        m_c.FileDate->setToolTip(dateText(info->modified));
    const QString shown = platform::displayName(entryName);
    setFittedText(m_c.FileName, shown, 8);
    setFittedText(m_c.ImageSize, readable ? sizeText(info->size) : QString(), 7);
    Q_EMIT captionChanged(QStringLiteral("Imagrove - ") + shown);
    Q_EMIT endingChanged(ending(entryName));
    if (const QString type = core::typeNameOf(entryName); !type.isEmpty())
        setFittedText(m_c.ftype, type, 7);
}

void InfoPanel::clear()
{
    for (QLabel *label : {m_c.ftype, m_c.FileDate, m_c.ImageSize, m_c.ImDimen, m_c.FileName}) {
        label->clear();
        label->setToolTip(QString());
    }
    Q_EMIT endingChanged(QString());
    Q_EMIT captionChanged(QString());
}

} // namespace browser
