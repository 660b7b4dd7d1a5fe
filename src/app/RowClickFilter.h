#pragma once

#include <QObject>

#include <functional>

class CSkinListCtrl;

// Turns left-button releases on a list into clicks. A release counts only after a press of its own: not
// the second release of a double-click, nor one whose press was dropped during an exchange. A press on
// the empty part of the list leaves no row selected. A row chosen with the arrow, page, Home or End keys
// counts as clicked once the key is let go (not on every repeat while it is held).
class RowClickFilter : public QObject
{
public:
    RowClickFilter(CSkinListCtrl *list, std::function<void()> clicked);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    CSkinListCtrl *m_list;
    std::function<void()> m_clicked;
    bool m_pressSeen = false;
};
