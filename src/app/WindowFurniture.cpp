#include "WindowFurniture.h"

#include "common/MainState.h"
#include "grid/FlexGrid.h"
#include "grid/ImageList.h"
#include "grid/QuoteGrid.h"
#include "options/frmOptions.h"
#include "platform/Platform.h"
#include "platform/Sounds.h"
#include "window/ClickableLabel.h"
#include "window/HelpPage.h"
#include "window/PopupMenu.h"
#include "window/frmStockMain.h"

#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QShortcut>
#include <QWindow>

WindowFurniture::WindowFurniture(MainState &state, frmStockMain &main, frmOptions &options,
                                 QuoteGrid &quoteGrid)
    : m_state(state), m_main(main), m_options(options), m_quoteGrid(quoteGrid)
{
    m_dragSurfaces = m_main.dragSurfaces();
    for (QWidget *surface : m_dragSurfaces)
        surface->installEventFilter(this);

    // The keyboard's way to the menu, and F1 for help in both windows.
    for (const QKeySequence &keys :
         {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)}) {
        auto *shortcut = new QShortcut(keys, &m_main);
        connect(shortcut, &QShortcut::activated, this, &WindowFurniture::popupAtGrid);
    }
    for (QWidget *window : {static_cast<QWidget *>(&m_main), static_cast<QWidget *>(&m_options)})
        connect(new QShortcut(QKeySequence(Qt::Key_F1), window), &QShortcut::activated, this,
                [] { HelpPage::open(); });

    TrayIconService *tray = Platform::instance().tray;
    // Only a double-click restores: a single click on the icon does nothing.
    connect(tray, &TrayIconService::doubleClicked, this, &WindowFurniture::restoreFromTray);
}

bool WindowFurniture::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = static_cast<QWidget *>(watched);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        m_moveStarted = false;
        if (watched == &m_main) {
            m_main.gridQuotes()->setRedraw(true);
            m_main.update();
        }
        if (mouse->button() == Qt::RightButton &&
            (watched == &m_main || watched == m_main.picBezelRight() ||
             watched == m_main.picPanel())) {
            PopupMenu::popup(m_menu, mouse->globalPosition().toPoint());
            return true;
        }
        break;
    }
    case QEvent::MouseMove: {
        // The window manager moves the window as if its title bar had been pressed.
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (!mouse->buttons().testFlag(Qt::LeftButton) || m_moveStarted)
            break;
        m_moveStarted = true;
        if (QWidget *grabber = QWidget::mouseGrabber(); grabber == widget)
            grabber->releaseMouse();
        if (QWindow *handle = m_main.windowHandle())
            handle->startSystemMove();
        return true;
    }
    case QEvent::MouseButtonRelease:
        m_moveStarted = false;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

QString WindowFurniture::trayTip()
{
    return QStringLiteral("Vantora Stock Quote Monitor").left(64);
}

void WindowFurniture::picControlBox_Click()
{
    if (m_main.isMaximized())
        m_main.showNormal();
    TrayIconService &tray = *Platform::instance().tray;
    if (!tray.isAvailable()) {
        m_main.showMinimized();
        return;
    }
    QIcon icon = m_main.windowIcon();
    if (icon.isNull())
        icon = QIcon(ImageList::instance().image(ImageList::ControlBox));
    tray.showIcon(icon, trayTip());
    m_main.showMinimized();
    m_main.hide();
}

void WindowFurniture::restoreFromTray()
{
    TrayIconService &tray = *Platform::instance().tray;
    if (!tray.isShown() || !m_main.isHidden())
        return;
    m_main.showNormal();
    m_main.raise();
    m_main.activateWindow();
    tray.removeIcon();
}

void WindowFurniture::bringToFront()
{
    if (Platform::instance().tray->isShown() && m_main.isHidden()) {
        restoreFromTray();
        return;
    }
    if (m_main.isMinimized())
        m_main.showNormal();
    m_main.show();
    m_main.raise();
    m_main.activateWindow();
}

void WindowFurniture::picCalc_DblClick()
{
    Platform::instance().programs->startCalculator();
}

void WindowFurniture::picMoveUp_MouseUp()
{
    moveSelectedRow(-1);
}

void WindowFurniture::picMoveDown_MouseUp()
{
    moveSelectedRow(+1);
}

void WindowFurniture::moveSelectedRow(int step)
{
    PlayClick();
    FlexGrid &grid = *m_main.gridQuotes();
    FlexGrid &symbols = *m_options.gridSymbols();
    const int row = grid.row();
    const bool canMove = step < 0 ? row >= 2 : row > 0 && row < grid.rows() - 1;
    if (!canMove)
        return;
    const int target = row + step;
    grid.setRowPosition(row, target);
    grid.setRow(target);
    if (row < symbols.rows() && target < symbols.rows())
        symbols.setRowPosition(row, target);

    m_state.SelectedRow = qint16(target);
    m_quoteGrid.SyncGrids();
    m_quoteGrid.showGrid();
    grid.setRow(m_state.SelectedRow);
}

void WindowFurniture::popupAtGrid()
{
    FlexGrid &grid = *m_main.gridQuotes();
    QRect cell = grid.visualRect(grid.currentIndex());
    if (!cell.isValid() || !grid.viewport()->rect().intersects(cell))
        cell = grid.viewport()->rect();
    PopupMenu::popup(m_menu, grid.viewport()->mapToGlobal(cell.center()));
}
