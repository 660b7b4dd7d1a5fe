#include "app/SelectedRow.h"

#include "skin/CSkinListCtrl.h"

int FirstSelectedRow(const CSkinListCtrl *list)
{
    if (list == nullptr)
        return -1;
    for (int row = list->GetTopIndex(); row >= 0 && row < list->GetItemCount(); ++row)
    {
        if (list->topLevelItem(row)->isSelected())
            return row;
    }
    return -1;
}
