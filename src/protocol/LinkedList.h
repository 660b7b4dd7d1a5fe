#pragma once

// The device list and the share-name list have one shape: a count, a head and a tail over nodes linked
// by `next`, in order of arrival, owning their nodes.

template <class List, class Node> void AppendNode(List &list, Node *node)
{
    node->next = nullptr;
    ++list.count;
    if (list.tail == nullptr)
        list.head = node;
    else
        list.tail->next = node;
    list.tail = node;
}

template <class List> void FreeNodes(List &list)
{
    auto *node = list.head;
    while (node != nullptr)
    {
        auto *next = node->next;
        delete node;
        node = next;
    }
    list = List{};
}
