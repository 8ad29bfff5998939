#pragma once

#include "browser/FolderNavigation.h"
#include "browser/ImageDisplay.h"
#include "browser/InfoPanel.h"
#include "ComponentTest.h"

#include <map>
#include <memory>
#include <QAction>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>

// Toolbar pictures that tell which name they were asked by.
class StubPictures final : public browser::ToolbarPictures
{
public:
    QPixmap picture(browser::ToolbarPicture which) const override
    {
        auto &pixmap = m_made[which];
        if (pixmap.isNull()) {
            pixmap = QPixmap(2, 2);
            pixmap.fill(QColor::fromRgb(0x102030 * (int(which) + 1) & 0xFFFFFF));
        }
        return pixmap;
    }
    std::optional<browser::ToolbarPicture> nameOf(const QPixmap &pixmap) const
    {
        for (const auto &[name, made] : m_made) {
            if (made.toImage() == pixmap.toImage())
                return name;
        }
        return std::nullopt;
    }

private:
    mutable std::map<browser::ToolbarPicture, QPixmap> m_made;
};

class StubFavourites final : public browser::FavouritesMenuSource
{
public:
    QMenu menu;
    QMenu *favouritesMenu() override { return &menu; }
};

template <typename W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

inline QAction *action(QMenu *menu, const char *name, bool checkable = false)
{
    QAction *item = named(menu->addAction(QLatin1String(name)), name);
    item->setCheckable(checkable);
    item->setChecked(checkable);
    return item;
}

inline browser::FolderNavigation::Controls navigationControls(QWidget *root)
{
    browser::FolderNavigation::Controls c;
    c.Drive1 = named(new platform::DriveListBox(root), "Drive1");
    c.Dir1 = named(new platform::DirListBox(root), "Dir1");
    c.Dir1->setGeometry(0, 30, 200, 200);
    c.File1 = named(new platform::FileListBox(root), "File1");
    c.File1->setGeometry(0, 240, 200, 200);
    c.previous = new platform::PictureButton(0, root);
    c.next = new platform::PictureButton(1, root);
    c.mnuFTs = named(new QMenu(root), "mnuFTs");
    for (int i = 0; i < 7; ++i)
        c.mnuFT[size_t(i)] = action(c.mnuFTs, QStringLiteral("mnuFT(%1)").arg(i).toLatin1(), true);
    c.mnuImages = action(c.mnuFTs, "mnuImages");
    c.mnuRefresh = action(c.mnuFTs, "mnuRefresh");
    c.mnuOther = action(c.mnuFTs, "mnuOther", true);
    return c;
}

inline browser::ImageDisplay::Controls displayControls(QWidget *root, platform::FileListBox *File1)
{
    browser::ImageDisplay::Controls c;
    c.File1 = File1;
    c.Picture1 = named(new QFrame(root), "Picture1");
    c.Picture1->setGeometry(210, 0, 445, 331);
    c.Picture1->setAutoFillBackground(true);
    c.Image1 = named(new platform::PictureButton(-1, c.Picture1), "Image1");
    c.Image1->setScaledContents(true);
    c.HScroll1 = named(new QScrollBar(Qt::Horizontal, root), "HScroll1");
    c.VScroll1 = named(new QScrollBar(Qt::Vertical, root), "VScroll1");
    c.fullScreenButton = new platform::PictureButton(6, root);
    c.resizeButton = new platform::PictureButton(7, root);
    c.mnuView = named(new QMenu(root), "mnuView");
    c.mnuStretch = action(c.mnuView, "mnuStretch", true);
    c.mnuKeepProp = action(c.mnuView, "mnuKeepProp", true);
    c.mnuFullscrn = action(c.mnuView, "mnuFullscrn");
    c.mnuBackCol = named(c.mnuView->addMenu(QStringLiteral("Back Colour")), "mnuBackCol");
    c.mnuBGrey = action(c.mnuBackCol, "mnuBGrey", true);
    c.mnuBWhite = action(c.mnuBackCol, "mnuBWhite", true);
    c.mnuBBlack = action(c.mnuBackCol, "mnuBBlack", true);
    c.mnuChooseCol = action(c.mnuBackCol, "mnuChooseCol", true);
    return c;
}

// The strip's labels at their widths in the main window.
inline browser::InfoPanel::Controls infoControls(QWidget *root)
{
    browser::InfoPanel::Controls c;
    c.ftype = named(new QLabel(root), "ftype");
    c.FileDate = named(new QLabel(root), "FileDate");
    c.ImageSize = named(new QLabel(root), "ImageSize");
    c.ImDimen = named(new QLabel(root), "ImDimen");
    c.FileName = named(new QLabel(root), "FileName");
    c.ftype->setGeometry(10, 500, 80, 13);
    c.FileDate->setGeometry(90, 500, 70, 13);
    c.ImageSize->setGeometry(162, 500, 61, 13);
    c.ImDimen->setGeometry(228, 500, 67, 13);
    c.FileName->setGeometry(303, 500, 316, 13);
    c.Label1 = new platform::PictureButton(-1, root);
    c.Label2 = new platform::PictureButton(-1, root);
    auto *menu = new QMenu(root);
    c.mnuStatus = action(menu, "mnuStatus", true);
    return c;
}
