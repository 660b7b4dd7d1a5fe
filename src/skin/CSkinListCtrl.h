#pragma once

#include "skin/CSkinHeaderCtrl.h"
#include "skin/CSkinHorzScroll.h"
#include "skin/CSkinVertScroll.h"

#include <QColor>
#include <QPointer>
#include <QTreeWidget>

// Report-style list: white background, black-on-grey selection also without focus, a bitmap
// header and two bitmap scroll bars that sit outside the list, against its right and bottom edges.
class CSkinListCtrl : public QTreeWidget
{
    Q_OBJECT

public:
    explicit CSkinListCtrl(QWidget *parent = nullptr);
    ~CSkinListCtrl() override;

    // Once, after the list has its parent and geometry: creates the two bars in the parent.
    void InitSkin();
    // Places the bars against the list's current rectangle and updates both thumbs.
    void PositionScrollBars();
    void UpdateThumbs();

    // Scroll position and limit (range maximum less page size plus one) in one direction.
    int ScrollPos(Qt::Orientation orientation) const;
    int ScrollLimit(Qt::Orientation orientation) const;
    // Height of the first row, or 0 without rows.
    int FirstRowHeight() const;

    CSkinHeaderCtrl *GetHeaderCtrl() const { return m_wndHeader; }
    CSkinVertScroll *GetVertScroll() const { return m_wndVScroll; }
    CSkinHorzScroll *GetHorzScroll() const { return m_wndHScroll; }
    QColor GetSelTextColor() const { return m_crSelText; }
    QColor GetSelBackColor() const { return m_crSelBack; }

    // Report-list conveniences in the usual terms of rows and columns.
    int InsertColumn(int column, const QString &heading, int width);
    int InsertItem(int row, const QString &text);
    bool SetItemText(int row, int column, const QString &text);
    QString GetItemText(int row, int column) const;
    int GetItemCount() const;
    bool DeleteAllItems();
    // Index of the first visible row, or 0 without rows.
    int GetTopIndex() const;
    // The selected row, or -1.
    int GetSelectedRow() const;

    // The focus came with the keyboard (or the keyboard was used since), so the focus frame shows.
    bool ShowsFocusFrame() const { return hasFocus() && m_bKeyboardFocus; }

    // Typing searches the rows by their first column (the name), whichever cell was clicked last.
    void keyboardSearch(const QString &search) override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void mousePressEvent(QMouseEvent *event) override;
    void drawRow(QPainter *painter, const QStyleOptionViewItem &options, const QModelIndex &index) const override;

signals:
    // A left press on a row that was selected already (a double-click's second press is no press).
    void selectedRowPressed(int row);

private:
    CSkinHeaderCtrl *m_wndHeader;
    QColor m_crSelText = QColor(0, 0, 0);
    QColor m_crSelBack = QColor(190, 190, 190);
    bool m_bKeyboardFocus = false;
    QPointer<CSkinVertScroll> m_wndVScroll;
    QPointer<CSkinHorzScroll> m_wndHScroll;
};
