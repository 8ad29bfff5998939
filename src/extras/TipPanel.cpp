#include "TipPanel.h"

#include "core/SettingKeys.h"
#include "platform/ErrorReport.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QStringDecoder>

namespace extras {

QStringList tipLines(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return {};
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    // As a text reader reads lines: a last line end ends the last line.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text.split(u'\n');
}

TipPanel::TipPanel(const Controls &controls, core::SettingsStore &settings,
                   platform::Desktop &desktop, QString tipsFile, QObject *parent)
    : QObject(parent), m_c(controls), m_settings(settings), m_desktop(desktop),
      m_tipsFile(std::move(tipsFile))
{
    wire();
}

void TipPanel::wire()
{
    connect(m_c.cmdNextTip, &QPushButton::clicked, this, &TipPanel::cmdNextTip_Click);
    // A click, not a change made by the program.
    connect(m_c.chkLoadTipsAtStartup, &QCheckBox::clicked, this,
            &TipPanel::chkLoadTipsAtStartup_Click);
    connect(m_c.mnuTips, &QAction::triggered, this, &TipPanel::mnuTips_Click);
}

void TipPanel::save(const QString &value)
{
    try {
        core::keys::ShowTips.save(m_settings, value);
    } catch (const platform::Error &error) {
        platform::reportError(m_desktop, error, platform::captions::ErroNumber);
    }
}

void TipPanel::ShowTipPanel()
{
    const bool on = core::encoding::checkIsNotOff(core::keys::ShowTips.read(m_settings));
    if (!on) {
        for (QWidget *control : std::initializer_list<QWidget *>{m_c.lblTipText, m_c.cmdNextTip,
                                                                 m_c.chkLoadTipsAtStartup})
            control->hide();
        Q_EMIT placeholderWanted(false);
        m_c.mnuTips->setChecked(false);
        m_c.chkLoadTipsAtStartup->setChecked(false);
        return;
    }
    Q_EMIT placeholderWanted(true);
    m_c.chkLoadTipsAtStartup->setChecked(true);
    m_random.seed(quint32(QDateTime::currentMSecsSinceEpoch()));
    for (QWidget *control :
         std::initializer_list<QWidget *>{m_c.cmdNextTip, m_c.chkLoadTipsAtStartup, m_c.lblTipText})
        control->show();
    if (!LoadTips(m_tipsFile)) {
        const QString name = QStringLiteral("IGTIPS.IGR");
        m_c.lblTipText->setText(QStringLiteral("The ") + name +
                                QStringLiteral(" file was not found!? ") +
                                QStringLiteral("\r\n\r\nMake sure the ") + name +
                                QStringLiteral(" is in your Imagrove directory. ") +
                                QStringLiteral("If you are having trouble, please contact "
                                               "support. "));
    }
}

bool TipPanel::LoadTips(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    QFile file(path);
    // A file that is there but cannot be read gives no tips.
    if (file.open(QIODevice::ReadOnly))
        m_tips << tipLines(file.readAll());
    NextTip();
    return true;
}

void TipPanel::NextTip()
{
    m_current = int(m_random.generateDouble() * m_tips.size() + 1);
    DisplayCurrentTip();
}

void TipPanel::imageSelected()
{
    m_c.mnuTips->setEnabled(true);
    m_c.mnuTips->setChecked(false);
    for (QWidget *tip :
         std::initializer_list<QWidget *>{m_c.lblTipText, m_c.cmdNextTip, m_c.chkLoadTipsAtStartup})
        tip->hide();
}

void TipPanel::DisplayCurrentTip()
{
    if (!m_tips.isEmpty())
        m_c.lblTipText->setText(m_tips.value(m_current - 1));
}

void TipPanel::cmdNextTip_Click()
{
    NextTip();
}

void TipPanel::chkLoadTipsAtStartup_Click()
{
    save(QString::number(m_c.chkLoadTipsAtStartup->isChecked() ? 1 : 0));
}

void TipPanel::mnuTips_Click()
{
    // Choosing the item has toggled its check mark: it tells the new state.
    if (!m_c.mnuTips->isChecked()) {
        save(QStringLiteral("0"));
        m_c.chkLoadTipsAtStartup->setChecked(false);
    } else {
        save(QStringLiteral("1"));
        m_c.chkLoadTipsAtStartup->setChecked(true);
        QCoreApplication::processEvents();
        ShowTipPanel();
    }
    Q_EMIT paneCleared();
}

} // namespace extras
