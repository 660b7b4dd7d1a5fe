#include "skin/CSkinListCtrl.h"

#include "skin/FocusCues.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QWheelEvent>

namespace
{

// Paints the selected row in the list's own colours, whatever the style or the focus: the row
// is drawn as not selected over the grey background, the way the platform highlight is suppressed.
class SelectionDelegate : public QStyledItemDelegate
{
public:
    SelectionDelegate(const CSkinListCtrl *list) : QStyledItemDelegate(const_cast<CSkinListCtrl *>(list)), m_list(list)
    {
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        if (!(option.state & QStyle::State_Selected))
        {
            // No focus frame on any row either: the platform's focus look never shows.
            QStyleOptionViewItem plain(option);
            plain.state &= ~QStyle::State_HasFocus;
            QStyledItemDelegate::paint(painter, plain, index);
            return;
        }
        QStyleOptionViewItem plain(option);
        plain.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        painter->fillRect(option.rect, m_list->GetSelBackColor());
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            plain.palette.setColor(group, QPalette::Text, m_list->GetSelTextColor());
        QStyledItemDelegate::paint(painter, plain, index);
    }

    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (option->state & QStyle::State_Selected)
            option->backgroundBrush = Qt::NoBrush;
    }

private:
    const CSkinListCtrl *m_list;
};

} // namespace

CSkinListCtrl::CSkinListCtrl(QWidget *parent) : QTreeWidget(parent), m_wndHeader(new CSkinHeaderCtrl(this))
{
    setHeader(m_wndHeader);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // The row-wide focus frame is the platform's look; the selection alone shows the row.
    setAllColumnsShowFocus(false);
    setItemDelegate(new SelectionDelegate(this));

    QPalette pal = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
    {
        pal.setColor(group, QPalette::Base, Qt::white);
        pal.setColor(group, QPalette::Text, Qt::black);
        // Also for the row panel some styles paint before the items.
        pal.setColor(group, QPalette::Highlight, m_crSelBack);
        pal.setColor(group, QPalette::HighlightedText, m_crSelText);
    }
    setPalette(pal);
    setColumnCount(0);
}

CSkinListCtrl::~CSkinListCtrl()
{
    // The bars live in the parent; they must not outlive the list they point to.
    delete m_wndVScroll.data();
    delete m_wndHScroll.data();
}

void CSkinListCtrl::InitSkin()
{
    // The list's own bars are disabled and kept out of view; their ranges still track the list.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setEnabled(false);
    horizontalScrollBar()->setEnabled(false);

    QWidget *owner = parentWidget();
    if (!owner || m_wndVScroll)
        return;
    m_wndVScroll = new CSkinVertScroll(owner);
    m_wndHScroll = new CSkinHorzScroll(owner);
    m_wndVScroll->SetList(this);
    m_wndHScroll->SetList(this);
    m_wndVScroll->setObjectName(objectName() + QStringLiteral("_vscroll"));
    m_wndHScroll->setObjectName(objectName() + QStringLiteral("_hscroll"));

    // Every change of the scroll state moves the thumbs.
    for (QScrollBar *bar : {verticalScrollBar(), horizontalScrollBar()})
    {
        connect(bar, &QScrollBar::valueChanged, this, &CSkinListCtrl::UpdateThumbs);
        connect(bar, &QScrollBar::rangeChanged, this, &CSkinListCtrl::UpdateThumbs);
    }
    PositionScrollBars();
    m_wndVScroll->setVisible(isVisibleTo(owner));
    m_wndHScroll->setVisible(isVisibleTo(owner));
}

void CSkinListCtrl::PositionScrollBars()
{
    if (!m_wndVScroll || !m_wndHScroll)
        return;
    const QRect r = geometry(); // the window rectangle in the parent's client coordinates
    const int left = r.x();
    const int top = r.y();
    const int right = r.x() + r.width();
    const int bottom = r.y() + r.height();
    m_wndVScroll->setGeometry(right, top, 14, std::max(bottom - top - 1, 0));
    m_wndHScroll->setGeometry(left, bottom, std::max(right - left - 2, 0), 14);
    UpdateThumbs();
}

void CSkinListCtrl::UpdateThumbs()
{
    if (m_wndVScroll)
        m_wndVScroll->UpdateThumb();
    if (m_wndHScroll)
        m_wndHScroll->UpdateThumb();
}

int CSkinListCtrl::ScrollPos(Qt::Orientation orientation) const
{
    const QScrollBar *bar = orientation == Qt::Vertical ? verticalScrollBar() : horizontalScrollBar();
    return bar->value() - bar->minimum();
}

int CSkinListCtrl::ScrollLimit(Qt::Orientation orientation) const
{
    // Qt's maximum is already the range maximum less the page plus one.
    const QScrollBar *bar = orientation == Qt::Vertical ? verticalScrollBar() : horizontalScrollBar();
    return std::max(bar->maximum() - bar->minimum(), 0);
}

int CSkinListCtrl::FirstRowHeight() const
{
    if (topLevelItemCount() == 0)
        return 0;
    return rowHeight(indexFromItem(topLevelItem(0)));
}

int CSkinListCtrl::InsertColumn(int column, const QString &heading, int width)
{
    const int count = columnCount();
    column = std::clamp(column, 0, count);
    QStringList labels;
    for (int i = 0; i < count; ++i)
        labels << (headerItem() ? headerItem()->text(i) : QString());
    labels.insert(column, heading);
    QList<int> widths;
    for (int i = 0; i < count; ++i)
        widths << columnWidth(i);
    widths.insert(column, width);
    setColumnCount(count + 1);
    setHeaderLabels(labels);
    for (int i = 0; i < widths.size(); ++i)
        setColumnWidth(i, widths[i]);
    return column;
}

int CSkinListCtrl::InsertItem(int row, const QString &text)
{
    row = std::clamp(row, 0, topLevelItemCount());
    auto *item = new QTreeWidgetItem;
    item->setText(0, text);
    insertTopLevelItem(row, item);
    return row;
}

bool CSkinListCtrl::SetItemText(int row, int column, const QString &text)
{
    QTreeWidgetItem *item = topLevelItem(row);
    if (!item || column < 0 || column >= columnCount())
        return false;
    item->setText(column, text);
    return true;
}

QString CSkinListCtrl::GetItemText(int row, int column) const
{
    const QTreeWidgetItem *item = topLevelItem(row);
    return item ? item->text(column) : QString();
}

int CSkinListCtrl::GetItemCount() const
{
    return topLevelItemCount();
}

bool CSkinListCtrl::DeleteAllItems()
{
    clear();
    return true;
}

int CSkinListCtrl::GetTopIndex() const
{
    const QModelIndex top = indexAt(QPoint(1, 1));
    return top.isValid() ? top.row() : 0;
}

int CSkinListCtrl::GetSelectedRow() const
{
    const QList<QTreeWidgetItem *> selected = selectedItems();
    return selected.isEmpty() ? -1 : indexOfTopLevelItem(selected.first());
}

void CSkinListCtrl::resizeEvent(QResizeEvent *event)
{
    QTreeWidget::resizeEvent(event);
    PositionScrollBars();
}

void CSkinListCtrl::moveEvent(QMoveEvent *event)
{
    QTreeWidget::moveEvent(event);
    PositionScrollBars();
}

void CSkinListCtrl::showEvent(QShowEvent *event)
{
    QTreeWidget::showEvent(event);
    if (m_wndVScroll)
        m_wndVScroll->show();
    if (m_wndHScroll)
        m_wndHScroll->show();
    UpdateThumbs();
}

void CSkinListCtrl::hideEvent(QHideEvent *event)
{
    QTreeWidget::hideEvent(event);
    if (m_wndVScroll)
        m_wndVScroll->hide();
    if (m_wndHScroll)
        m_wndHScroll->hide();
}

void CSkinListCtrl::wheelEvent(QWheelEvent *event)
{
    // The list's own bars are disabled, and a disabled bar drops the wheel: let the bar in the
    // wheel's direction take it for the moment, so that it scrolls the way it always would.
    const QPoint angle = event->angleDelta();
    const bool horizontal = std::abs(angle.x()) > std::abs(angle.y()) || (event->modifiers() & Qt::AltModifier);
    QScrollBar *bar = horizontal ? horizontalScrollBar() : verticalScrollBar();
    bar->setEnabled(true);
    QCoreApplication::sendEvent(bar, event);
    bar->setEnabled(false);
    UpdateThumbs();
    // Scrolled or not, the wheel over the list stays with the list.
    event->accept();
}

void CSkinListCtrl::drawRow(QPainter *painter, const QStyleOptionViewItem &options, const QModelIndex &index) const
{
    // The row panel is left to the delegate, which paints the selection flat; the style's own
    // panel (a gradient or a frame in some styles) never shows.
    QStyleOptionViewItem plain(options);
    plain.state &= ~QStyle::State_HasFocus;
    plain.showDecorationSelected = false;
    QTreeView::drawRow(painter, plain, index);
}

void CSkinListCtrl::paintEvent(QPaintEvent *event)
{
    QTreeWidget::paintEvent(event);
    if (!ShowsFocusFrame())
        return;
    // The list's own focus look: a dotted frame around the whole current row, or inside the list
    // when no row is current.
    QPainter painter(viewport());
    const QModelIndex current = currentIndex();
    QRect frame = viewport()->rect().adjusted(0, 0, -1, -1);
    if (current.isValid())
    {
        const QRect cell = visualRect(current);
        frame = QRect(0, cell.top(), viewport()->width(), cell.height()).adjusted(0, 0, -1, -1);
    }
    painter.setPen(QPen(m_crSelText, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame);
}

void CSkinListCtrl::focusInEvent(QFocusEvent *event)
{
    m_bKeyboardFocus = FocusCueOnFocusIn(event->reason(), m_bKeyboardFocus);
    if (currentIndex().isValid())
    {
        QTreeWidget::focusInEvent(event);
        return;
    }
    // Qt would make the first row current on a Tab, unselected: the frame would sit on a row that shows
    // nothing, Home and Up would leave it unselected and Down would pass it by. With no current row the
    // first key selects, as the first click does.
    QFocusEvent withoutCurrent(event->type(), Qt::MouseFocusReason);
    QTreeWidget::focusInEvent(&withoutCurrent);
}

void CSkinListCtrl::keyPressEvent(QKeyEvent *event)
{
    m_bKeyboardFocus = FocusCuesShown() = true;
    // Space selects the current row; without one it takes the first, as the arrows do.
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier && !currentIndex().isValid() &&
        topLevelItemCount() > 0)
    {
        setCurrentItem(topLevelItem(0));
        viewport()->update();
        return;
    }
    // Enter on a row that does something when activated (a volume opens) is that row's: the window would
    // end on it too.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool activates =
        enter && currentIndex().isValid() && isSignalConnected(QMetaMethod::fromSignal(&QAbstractItemView::activated));
    QTreeWidget::keyPressEvent(event);
    if (activates)
        event->accept();
    viewport()->update();
}

QModelIndex CSkinListCtrl::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    // Without a current row every key starts at the first row; End goes to the last.
    if (cursorAction == MoveEnd && !currentIndex().isValid() && topLevelItemCount() > 0)
        return indexFromItem(topLevelItem(topLevelItemCount() - 1));
    return QTreeWidget::moveCursor(cursorAction, modifiers);
}

void CSkinListCtrl::mousePressEvent(QMouseEvent *event)
{
    m_bKeyboardFocus = FocusCuesShown() = false;
    // As in the report list of the original, a press on the empty part leaves no row selected.
    QTreeWidgetItem *pressed = event->button() == Qt::LeftButton ? itemAt(event->position().toPoint()) : nullptr;
    if (event->button() == Qt::LeftButton && pressed == nullptr)
        clearSelection();
    const bool wasSelected = pressed != nullptr && pressed->isSelected();
    QTreeWidget::mousePressEvent(event);
    // A click on the row already chosen changes no selection, yet asks for that row again (the window reads
    // the device anew), as a click did in the original list.
    if (wasSelected && pressed->isSelected())
        emit selectedRowPressed(indexOfTopLevelItem(pressed));
}

void CSkinListCtrl::keyboardSearch(const QString &search)
{
    const QModelIndex current = currentIndex();
    if (current.isValid() && current.column() != 0)
        selectionModel()->setCurrentIndex(current.siblingAtColumn(0), QItemSelectionModel::NoUpdate);
    QTreeWidget::keyboardSearch(search);
}
